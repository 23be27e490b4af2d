// Text lists: TStrings is the interface every list of lines offers (string lists, memo lines,
// list box and combo box items); TStringList keeps them in memory. Each entry may carry one
// object reference, which the list does not own.
#pragma once

#include <string>
#include <vector>

#include "gui/base/Classes.h"

class TStrings : public TObject {
    GUI_CLASS(TStrings, TObject)
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual TObject* Objects(int index) const;
    virtual void SetObject(int index, TObject* o);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void InsertObject(int index, const std::string& s, TObject* o);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    std::string operator[](int index) const { return Get(index); }
    int Add(const std::string& s);
    int AddObject(const std::string& s, TObject* o);
    void AddStrings(const TStrings& other);
    virtual int IndexOf(const std::string& s) const; // case-insensitive
    int IndexOfObject(const TObject* o) const;
    // Whole text: lines joined by CR LF, with a line break after the last line.
    virtual std::string Text() const;
    // Splits at CR LF, LF or CR.
    virtual void SetText(const std::string& text);
    // name=value entries.
    std::string Names(int index) const;
    std::string Values(const std::string& name) const;
    void SetValue(const std::string& name, const std::string& value);
    int IndexOfName(const std::string& name) const;
    void Assign(const TStrings& other);
    // Files are written with CR LF line ends, read with any of them.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;
    // Called around bulk changes; controls hold back redrawing in between (a memo collects
    // the lines added meanwhile and shows them at the last EndUpdate). Updates nest. Use
    // TStringsUpdate, so that the update ends even when an exception leaves the block.
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}

protected:
    void IndexError(int index) const;
};

// Holds strings in an update (BeginUpdate) for as long as it lives.
class TStringsUpdate {
public:
    explicit TStringsUpdate(TStrings& strings) : strings_(strings) { strings_.BeginUpdate(); }
    ~TStringsUpdate() { strings_.EndUpdate(); }
    TStringsUpdate(const TStringsUpdate&) = delete;
    TStringsUpdate& operator=(const TStringsUpdate&) = delete;

private:
    TStrings& strings_;
};

class TStringList : public TStrings {
    GUI_CLASS(TStringList, TStrings)
    TStringList() = default;
    TStringList(const TStringList& other) : TStrings(), items_(other.items_), sorted_(other.sorted_) {}
    TStringList& operator=(const TStringList& other);

    int Count() const override { return static_cast<int>(items_.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* Objects(int index) const override;
    void SetObject(int index, TObject* o) override;
    void Insert(int index, const std::string& s) override;
    void InsertObject(int index, const std::string& s, TObject* o) override;
    void Delete(int index) override;
    void Clear() override { items_.clear(); }
    int IndexOf(const std::string& s) const override;

    // Sorted lists keep their entries in case-insensitive order; Add inserts in place.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    void Sort();

    TNotifyEvent OnChange;

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };
    void Changed();
    void CheckIndex(int index, bool allowEnd = false) const;
    std::vector<Item> items_;
    bool sorted_ = false;
};
