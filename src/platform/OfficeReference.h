#pragma once

#include "platform/PlatformError.h"

#include <QString>
#include <memory>
#include <utility>

namespace bw {

// An object of the office suite, as an adapter holds it.
class OfficeObject {
public:
    virtual ~OfficeObject() = default;
};

// A counted reference to an office object, with automation semantics: it is
// empty or holds one object, and reaching the object of an empty reference
// fails with "Object variable not set" (91).
class OfficeReference {
public:
    OfficeReference() = default;
    explicit OfficeReference(std::shared_ptr<OfficeObject> object) : object_(std::move(object)) {}

    bool isEmpty() const { return !object_; }
    // Releases the object; the reference is empty afterwards.
    void clear() { object_.reset(); }

    OfficeObject& object() const
    {
        if (!object_)
            throw objectNotSet();
        return *object_;
    }

    // The object as the kind a caller expects; an object of another kind is
    // a type mismatch (13).
    template <class Kind> Kind& objectAs() const
    {
        auto* kind = dynamic_cast<Kind*>(&object());
        if (!kind)
            throw PlatformError(13, QStringLiteral("Type mismatch"));
        return *kind;
    }

    template <class Kind> Kind* peek() const { return dynamic_cast<Kind*>(object_.get()); }

    static PlatformError objectNotSet()
    {
        return PlatformError(ErrorNumber::ObjectNotSet, QStringLiteral("Object variable not set"));
    }

private:
    std::shared_ptr<OfficeObject> object_;
};

} // namespace bw
