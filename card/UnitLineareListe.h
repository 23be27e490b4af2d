// A doubly linked list of byte values with two sentinel nodes and a cursor, the digit store
// of the long decimal arithmetic. Positions: 0 is the head sentinel, 1..Count the values,
// Count + 1 the tail sentinel. A violated precondition raises EAssertionFailed.
#pragma once

#include <cstdint>

class TLineareListe {
public:
    TLineareListe();
    ~TLineareListe();
    TLineareListe(const TLineareListe&) = delete;
    TLineareListe& operator=(const TLineareListe&) = delete;

    void AtStart(); // position 0
    void AtEnd();   // position Count + 1
    int Count() const { return count_; }
    int Position() const { return position_; }
    void Next();
    void Previous();
    void MoveTo(int n);
    void Delete();                        // removes the value under the cursor; cursor to the previous node
    void InsertAfter(std::uint8_t value); // new node after the cursor; cursor onto it
    std::uint8_t Value() const;

private:
    struct Node {
        std::uint8_t value = 0;
        Node* prev = nullptr;
        Node* next = nullptr;
    };
    Node* head_;
    Node* tail_;
    Node* cursor_;
    int position_ = 0;
    int count_ = 0;
};
