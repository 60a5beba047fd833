// TList: a doubly linked ring of counted references with a head link. Iteration hands out a
// link's value only after stepping past it, so the caller may remove what it was just given;
// a removed link keeps its successor, so an iteration standing on it still finds its way on, and
// objects appended during an iteration are reached by it. Links that nothing holds any more after
// a removal are kept and reused by later appends, so a list that only churns allocates no links.
#pragma once

#include <cstddef>
#include <memory>

template <typename T>
class TList {
 public:
  struct TLink {
    std::shared_ptr<T> value;
    std::shared_ptr<TLink> succ;  // owning: a removed link keeps the rest of the ring reachable
    TLink* pred = nullptr;
    unsigned long long serial = 0;  // appends number the links in ring order
  };

  TList() : head_(std::make_shared<TLink>()) {
    head_->succ = head_;
    head_->pred = head_.get();
  }
  ~TList() {
    Clear();
    head_->succ.reset();  // the empty ring points at itself
  }
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;

  // Inserts before the head, so an iteration under way still reaches the new object.
  void AddLast(std::shared_ptr<T> value) {
    std::shared_ptr<TLink> link = TakeSpareLink();
    link->value = std::move(value);
    link->serial = ++append_serial_;
    TLink* last = head_->pred;
    link->succ = head_;
    link->pred = last;
    head_->pred = link.get();
    last->succ = std::move(link);
  }

  // Unlinks the first link holding the object and nulls its value; the link keeps its own
  // successor so that an iteration standing on it yields null once and carries on.
  bool Remove(const T* value) {
    for (TLink* link = head_->succ.get(); link != head_.get(); link = link->succ.get()) {
      if (link->value.get() != value) continue;
      link->value.reset();
      std::shared_ptr<TLink> keep = link->pred->succ;  // the owner of `link`
      link->succ->pred = link->pred;
      link->pred->succ = link->succ;
      // An iteration standing on the link still needs its successor; otherwise it is spare.
      if (keep.use_count() == 1) KeepSpareLink(std::move(keep));
      return true;
    }
    return false;
  }

  // Breaks the ring so that every link (and every reference it holds) is released; spare links
  // go too.
  void Clear() {
    // One by one: releasing a long chain at once would recurse link by link.
    while (spare_) spare_ = std::move(spare_->succ);
    std::shared_ptr<TLink> link = std::move(head_->succ);
    while (link && link != head_) {
      link->value.reset();
      link = std::move(link->succ);
    }
    head_->succ = head_;
    head_->pred = head_.get();
  }

  bool IsEmpty() const { return head_->succ == head_; }
  std::size_t Count() const {
    std::size_t count = 0;
    for (TLink* link = head_->succ.get(); link != head_.get(); link = link->succ.get()) ++count;
    return count;
  }

  class Iterator {
   public:
    Iterator(std::shared_ptr<TLink> next, const TLink* head) : next_(std::move(next)), head_(head) {
      Fetch();
    }
    const std::shared_ptr<T>& operator*() const { return current_; }
    Iterator& operator++() {
      Fetch();
      return *this;
    }
    bool operator==(std::nullptr_t) const { return done_; }

   private:
    void Fetch() {
      if (next_.get() == head_) {
        // NOTE: stepping on before handing out a value means the iteration stood on the head
        // while the caller handled the last object; anything appended meanwhile (links numbered
        // above the last one handed out, a suffix of the ring) still belongs to this iteration.
        TLink* first_unseen = nullptr;
        for (TLink* link = head_->pred; link != head_ && link->serial > last_serial_;
             link = link->pred)
          first_unseen = link;
        if (first_unseen == nullptr) {
          done_ = true;
          current_.reset();
          return;
        }
        next_ = first_unseen->pred->succ;
      }
      current_ = next_->value;
      last_serial_ = next_->serial;
      next_ = next_->succ;
    }
    std::shared_ptr<TLink> next_;
    const TLink* head_;
    unsigned long long last_serial_ = 0;
    std::shared_ptr<T> current_;
    bool done_ = false;
  };

  // Range-for yields every value in order; values may be null for links removed meanwhile.
  Iterator begin() const { return Iterator(head_->succ, head_.get()); }
  std::nullptr_t end() const { return nullptr; }

 private:
  // Spare links form a chain through `succ`; their other fields are cleared when they are kept.
  void KeepSpareLink(std::shared_ptr<TLink> link) {
    link->pred = nullptr;
    link->serial = 0;
    link->succ = std::move(spare_);
    spare_ = std::move(link);
  }
  std::shared_ptr<TLink> TakeSpareLink() {
    if (!spare_) return std::make_shared<TLink>();
    std::shared_ptr<TLink> link = std::move(spare_);
    spare_ = std::move(link->succ);
    return link;
  }

  std::shared_ptr<TLink> head_;
  std::shared_ptr<TLink> spare_;
  unsigned long long append_serial_ = 0;
};
