#pragma once
// Intrusive doubly linked list of owned nodes, as the preset tree keeps its files and folders.

class Node
{
public:
    virtual ~Node() = default;

    Node* mpNext = nullptr;
    Node* mpPrev = nullptr;
};

// Owns its nodes and deletes them with itself; T derives from Node.
template <class T>
class NodeList
{
public:
    NodeList() = default;
    NodeList(const NodeList&) = delete;
    NodeList& operator=(const NodeList&) = delete;
    ~NodeList() { Clear(); }

    void Append(T* node)
    {
        node->mpPrev = mpLast;
        node->mpNext = nullptr;
        if (mpLast)
            mpLast->mpNext = node;
        else
            mpFirst = node;
        mpLast = node;
    }

    void Clear()
    {
        for (Node* n = mpFirst; n;)
        {
            Node* next = n->mpNext;
            delete n;
            n = next;
        }
        mpFirst = mpLast = nullptr;
    }

    bool Empty() const { return mpFirst == nullptr; }
    T* First() const { return static_cast<T*>(mpFirst); }
    static T* Next(const T* node) { return static_cast<T*>(node->mpNext); }

private:
    Node* mpFirst = nullptr;
    Node* mpLast = nullptr;
};
