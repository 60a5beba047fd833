// Objects the game drops and makes again all the time (background rectangles, balls) are kept
// and reused, so that a running game allocates nothing frame after frame.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

template <typename T>
class TSparePool {
 public:
  explicit TSparePool(std::size_t capacity) { spares_.reserve(capacity); }

  // Keeps the object for reuse once nothing else holds it; a full pool simply lets it go.
  void Keep(std::shared_ptr<T> object) {
    if (spares_.size() < spares_.capacity()) spares_.push_back(std::move(object));
  }

  // A kept object that nothing else holds any more, reset to a new one's state; otherwise a new
  // object.
  std::shared_ptr<T> Take() {
    for (std::size_t i = 0; i < spares_.size(); ++i) {
      if (spares_[i].use_count() != 1) continue;
      std::shared_ptr<T> object = std::move(spares_[i]);
      spares_[i] = std::move(spares_.back());
      spares_.pop_back();
      *object = T();
      return object;
    }
    return std::make_shared<T>();
  }

 private:
  std::vector<std::shared_ptr<T>> spares_;
};
