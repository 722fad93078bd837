#pragma once
// Intrusive doubly linked list of owned nodes, as the preset tree keeps its files and folders.

#include <algorithm>
#include <vector>

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

    // Puts the nodes in the order of before (a strict weak order on const T&); equal nodes keep
    // their order. Allocates a list of pointers: not for the audio thread.
    template <class Before>
    void Sort(Before before)
    {
        std::vector<T*> nodes;
        for (T* n = First(); n; n = Next(n))
            nodes.push_back(n);
        std::stable_sort(nodes.begin(), nodes.end(),
                         [&](const T* a, const T* b) { return before(*a, *b); });
        mpFirst = mpLast = nullptr;
        for (T* n : nodes)
            Append(n);
    }

    bool Empty() const { return mpFirst == nullptr; }
    T* First() const { return static_cast<T*>(mpFirst); }
    static T* Next(const T* node) { return static_cast<T*>(node->mpNext); }

private:
    Node* mpFirst = nullptr;
    Node* mpLast = nullptr;
};
