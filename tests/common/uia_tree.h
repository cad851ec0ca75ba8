// A UI Automation tree in memory, shaped as WeChat's windows show theirs, for the native tests
// and the benchmark of the UI Automation rows: elements that count every question asked of
// them, can be removed, and can stop answering.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "capture/uia_chat.h"

class FakeUiaTree : public IUiaTree {
public:
    struct Node {
        int type = kUiaPane;
        std::string name, cls;
        UiaBounds rect;
        std::vector<int> id;
        Node* parent = nullptr;
        std::vector<Node*> children;
        bool removed = false;
    };

    long calls = 0;        // every question asked of an element
    long moves = 0;        // those that move through the tree: the slow ones (40-120 ms under Wine)
    bool hung = false;     // every question throws, as a messenger that does not answer

    Node* Add(Node* parent, int type, const std::string& name = {}, const std::string& cls = {}) {
        Node& n = nodes_.emplace_back();
        n.type = type;
        n.name = name;
        n.cls = cls;
        n.id = {42, nextId_++};
        n.parent = parent;
        if (parent) parent->children.push_back(&n);
        return &n;
    }
    void Remove(Node* n) {
        auto& siblings = n->parent->children;
        for (auto it = siblings.begin(); it != siblings.end(); ++it)
            if (*it == n) {
                siblings.erase(it);
                break;
            }
        n->removed = true;
    }
    // A window whose message list sits under two panes, beside a list of chats.
    Node* Window(WindowRef w, const std::string& rootClass = {}) {
        Node* root = roots_[w] = Add(nullptr, kUiaPane, "", rootClass);
        Node* chats = Add(Add(root, kUiaPane), kUiaList, "\xbb\xe1\xbb\xb0");  // "会话"
        Add(chats, kUiaListItem, "x");
        return Add(Add(root, kUiaPane), kUiaList, "\xcf\xfb\xcf\xa2");  // "消息"
    }
    // WeChat 3.9's items: the avatar left of the centre for a friend, right for the user.
    Node* Message39(Node* list, const std::string& sender, const std::string& text, bool own) {
        Node* item = Add(list, kUiaListItem, text);
        item->rect = {0, 0, 400, 40};
        Node* row = Add(item, kUiaPane);
        if (!own) Avatar(row, sender, 10);
        Add(row, kUiaPane)->rect = {60, 0, 280, 40};
        if (own) Avatar(row, sender, 360);
        return item;
    }
    Node* TimeLine39(Node* list, const std::string& time) {
        Node* item = Add(list, kUiaListItem, time);
        Add(item, kUiaText, time);
        return item;
    }
    Node* Item4(Node* list, const std::string& cls, const std::string& name) {
        return Add(list, kUiaListItem, name, cls);
    }

    std::unique_ptr<IUiaElement> FromWindow(WindowRef w) override;
    std::unique_ptr<IUiaElement> Wrap(Node* n);

private:
    void Avatar(Node* row, const std::string& sender, double left) { Add(row, kUiaButton, sender)->rect = {left, 0, 30, 30}; }
    std::deque<Node> nodes_;
    std::map<WindowRef, Node*> roots_;
    int nextId_ = 1;
};

class FakeUiaElement : public IUiaElement {
public:
    FakeUiaElement(FakeUiaTree& tree, FakeUiaTree::Node* n) : tree_(tree), n_(n) {}
    std::unique_ptr<IUiaElement> FirstChild() override { return Move()->children.empty() ? nullptr : tree_.Wrap(n_->children.front()); }
    std::unique_ptr<IUiaElement> LastChild() override { return Move()->children.empty() ? nullptr : tree_.Wrap(n_->children.back()); }
    std::unique_ptr<IUiaElement> NextSibling() override { return Sibling(+1); }
    std::unique_ptr<IUiaElement> PreviousSibling() override { return Sibling(-1); }
    int ControlType() override { return Ask()->type; }
    std::string Name() override { return Ask()->name; }
    std::string ClassName() override { return Ask()->cls; }
    std::vector<int> RuntimeId() override { return Ask()->id; }
    UiaBounds BoundingRectangle() override { return Ask()->rect; }

private:
    // A removed element is gone, as UI Automation says of one whose item left the list.
    FakeUiaTree::Node* Ask() {
        ++tree_.calls;
        if (tree_.hung || n_->removed) throw UiaUnavailable();
        return n_;
    }
    FakeUiaTree::Node* Move() {
        ++tree_.moves;
        return Ask();
    }
    std::unique_ptr<IUiaElement> Sibling(int step) {
        Move();
        if (!n_->parent) return nullptr;
        const auto& s = n_->parent->children;
        for (std::size_t i = 0; i < s.size(); ++i)
            if (s[i] == n_) {
                const std::size_t j = i + static_cast<std::size_t>(step);
                return j < s.size() ? tree_.Wrap(s[j]) : nullptr;
            }
        return nullptr;
    }
    FakeUiaTree& tree_;
    FakeUiaTree::Node* n_;
};

inline std::unique_ptr<IUiaElement> FakeUiaTree::Wrap(Node* n) { return std::make_unique<FakeUiaElement>(*this, n); }
inline std::unique_ptr<IUiaElement> FakeUiaTree::FromWindow(WindowRef w) {
    ++calls;
    ++moves;
    if (hung) throw UiaUnavailable();
    auto it = roots_.find(w);
    return it == roots_.end() ? nullptr : Wrap(it->second);
}
