// The counted base object: hooks pass objects along their chains, events carry a source and an
// extra payload. A reference is a std::shared_ptr; none is an empty one.
#pragma once

#include <memory>

#include "platform/core/text.h"

class TObject {
 public:
  virtual ~TObject() = default;
  virtual String ToString() const { return String(); }
};

using ObjectRef = std::shared_ptr<TObject>;

// A string held as an object, e.g. an event's extra text.
class TStringObject : public TObject {
 public:
  explicit TStringObject(String text) : text_(std::move(text)) {}
  String ToString() const override { return text_; }
  const String& Text() const { return text_; }

 private:
  String text_;
};

// The text of a string object; empty for none or any other object.
inline String ObjectText(const ObjectRef& object) {
  const auto* text = dynamic_cast<const TStringObject*>(object.get());
  return text ? text->Text() : String();
}
