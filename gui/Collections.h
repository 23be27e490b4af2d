// Collections: an ordered list of items of one class, owned by the object that holds it (a
// component's list of stored skins, a skin's sections). The items carry their values as
// published properties (gui/Published.h), through which a collection is copied and read from a
// form description:
//
//   class TColumn : public TCollectionItem {
//       GUI_CLASS(TColumn, TCollectionItem)
//       std::string Title;
//       int Width = 64;
//   };                                           // Title and Width registered as published
//   class TColumns : public TItemCollection<TColumn> {
//       GUI_CLASS(TColumns, TItemCollection<TColumn>)
//   };
//   TColumns columns;
//   columns.Add().Title = "Menge";
//   other.Assign(columns);                       // the same items, copied by their properties
//   ReadCollection(columns, value);              // from  Columns = < item Title = 'Menge' end >
//
// A description sets an item's properties by name (case-insensitive):
//   numbers, True/False and the value names of an enumeration for ordinal properties, texts
//   for text properties, [a, b] for sets;
//   a nested collection for a property holding a collection: Sections = < item ... end >;
//   a picture for a property holding a bitmap: Glyph.Data = {...} (the bytes of a bitmap file,
//   which may follow their own 32-bit length);
//   a value of a nested object by its dotted name: Margins.Left = 4.
// A property the item does not publish, or a value of the wrong kind, raises EComponentError
// naming it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/base/Classes.h"

class TCollection;

class TCollectionItem : public TObject {
    GUI_CLASS(TCollectionItem, TObject)
    TCollectionItem() = default;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    TCollection* Collection() const { return collection_; }
    // The position in the collection; -1 outside one.
    int Index() const;

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
};

class TCollection : public TObject {
    GUI_CLASS(TCollection, TObject)
    using TMakeItem = std::function<std::unique_ptr<TCollectionItem>()>;
    // makeItem: a new item of the collection's item class.
    explicit TCollection(TMakeItem makeItem) : makeItem_(std::move(makeItem)) {}
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    TCollectionItem& Add();
    int Count() const { return static_cast<int>(items_.size()); }
    // 0 <= index < Count (ERangeError otherwise).
    TCollectionItem& Items(int index) const;
    void Delete(int index);
    void Clear() { items_.clear(); }
    // The copy: this collection's items are replaced by one new item for each item of the
    // source, which takes every published property the source item has too (collections and
    // bitmaps held by a property are copied by content, nested objects property by property).
    virtual void Assign(const TCollection& source);

private:
    TMakeItem makeItem_;
    std::vector<std::unique_ptr<TCollectionItem>> items_;
};

// A collection of items of the class TItem, with the items typed.
template <class TItem> class TItemCollection : public TCollection {
public:
    TItemCollection() : TCollection([] { return std::make_unique<TItem>(); }) {}
    TItem& Add() { return static_cast<TItem&>(TCollection::Add()); }
    TItem& Items(int index) const { return static_cast<TItem&>(TCollection::Items(index)); }
};

// Copies every published property of dest that source publishes too, as Assign does for items.
void AssignPublished(TObject& dest, TObject& source);

// Sets a published property of the object (a dotted name reaches into nested objects) from a
// form description's value, by the rules above.
void SetPublishedFromDescription(TObject& object, const std::string& name, const TPropValue& value);

// Replaces the collection's items by those of a description's collection value.
void ReadCollection(TCollection& collection, const TPropValue& value);
