#include "card/UnitLineareListe.h"

#include "gui/base/SysUtils.h"

#define LIST_ASSERT(cond, msg)                                                                                         \
    do {                                                                                                               \
        if (!(cond)) throw EAssertionFailed(msg, "UnitLineareListe", __LINE__);                                        \
    } while (0)

TLineareListe::TLineareListe() : head_(new Node), tail_(new Node)
{
    head_->next = tail_;
    tail_->prev = head_;
    cursor_ = head_;
}

TLineareListe::~TLineareListe()
{
    Node* n = head_->next;
    while (n != tail_) {
        Node* next = n->next;
        delete n;
        n = next;
    }
    delete head_;
    delete tail_;
}

void TLineareListe::AtStart()
{
    cursor_ = head_;
    position_ = 0;
}

void TLineareListe::AtEnd()
{
    cursor_ = tail_;
    position_ = count_ + 1;
}

void TLineareListe::Next()
{
    LIST_ASSERT(position_ < count_ + 1, "Am Ende kann man nicht weiter vor!");
    cursor_ = cursor_->next;
    ++position_;
}

void TLineareListe::Previous()
{
    LIST_ASSERT(position_ > 0, "Am Anfang kann man nicht weiter zurück!");
    cursor_ = cursor_->prev;
    --position_;
}

void TLineareListe::MoveTo(int n)
{
    LIST_ASSERT(n >= 0 && n <= count_ + 1, "Der Parameter muss innerhalb der Liste liegen!");
    AtStart();
    for (int i = 0; i < n; ++i)
        Next();
}

void TLineareListe::Delete()
{
    LIST_ASSERT(position_ > 0 && position_ < count_ + 1, "Der Cursor muss sich innerhalb der Liste befinden!");
    Node* gone = cursor_;
    gone->prev->next = gone->next;
    gone->next->prev = gone->prev;
    cursor_ = gone->prev;
    delete gone;
    --position_;
    --count_;
}

void TLineareListe::InsertAfter(std::uint8_t value)
{
    LIST_ASSERT(position_ >= 0 && position_ <= count_, "Der Cursor muss innerhalb der Liste oder am Anfang liegen!");
    Node* n = new Node;
    n->value = value;
    n->prev = cursor_;
    n->next = cursor_->next;
    cursor_->next->prev = n;
    cursor_->next = n;
    cursor_ = n;
    ++position_;
    ++count_;
}

std::uint8_t TLineareListe::Value() const
{
    LIST_ASSERT(position_ > 0 && position_ <= count_, "Der Cursor muss innerhalb der Liste liegen!");
    return cursor_->value;
}
