#include "properties/value_objects.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace Kvor {
namespace {

const WideChar* TextOf(const plenar::PropValue* value) {
    return static_cast<const WideChar*>(plenar::PropLayout<plenar::PropPointerLayout>(value).data);
}

size_t TextLength(const WideChar* text) { return std::char_traits<WideChar>::length(text); }

// A malloc'd copy of `text` (null taken as ""), or null without memory.
WideChar* Duplicate(const WideChar* text) {
    if (!text) text = KVOR_WIDE("");
    const size_t bytes = (TextLength(text) + 1) * sizeof(WideChar);
    auto* copy = static_cast<WideChar*>(std::malloc(bytes));
    if (copy) std::memcpy(copy, text, bytes);
    return copy;
}

}  // namespace

void Prop_UInt::Destroy(uint32_t flags) {
    this->~Prop_UInt();
    if (flags & 1) ::operator delete(this);
}

void Prop_UInt::Delete() { Destroy(1); }

plenar::PropValue* Prop_UInt::CreateCopy() { return new (std::nothrow) Prop_UInt(Value); }

int32_t Prop_UInt::IsEqual(plenar::PropValue* other) {
    return other && plenar::PropLayout<plenar::PropNumberLayout>(other).value == Value ? 1 : 0;
}

uint32_t Prop_UInt::GetClassID() { return plenar::prop_class_dword; }

int32_t Prop_UInt::CopyInto(plenar::PropValue* target) {
    if (!target) return 0;
    plenar::PropLayout<plenar::PropNumberLayout>(target).value = Value;
    return 1;
}

Prop_WStr::Prop_WStr(const WideChar* text) : Text(Duplicate(text)) {}

Prop_WStr::~Prop_WStr() { std::free(Text); }

void Prop_WStr::Destroy(uint32_t flags) {
    this->~Prop_WStr();
    if (flags & 1) ::operator delete(this);
}

void Prop_WStr::Delete() {
    std::free(Text);
    Text = nullptr;
    Destroy(1);
}

plenar::PropValue* Prop_WStr::CreateCopy() {
    auto* copy = new (std::nothrow) Prop_WStr(Text);
    if (copy && !copy->Text) {
        copy->Delete();
        return nullptr;
    }
    return copy;
}

int32_t Prop_WStr::IsEqual(plenar::PropValue* other) {
    if (!other) return 0;
    const WideChar* theirs = TextOf(other);
    if (Text == theirs || !Text || !theirs) return 1;
    size_t i = 0;
    while (Text[i] && Text[i] == theirs[i]) ++i;
    return Text[i] == theirs[i] ? 1 : 0;
}

uint32_t Prop_WStr::GetClassID() { return plenar::prop_class_wstr; }

int32_t Prop_WStr::CopyInto(plenar::PropValue* target) {
    // Same class pointer, same class: only then is the target's text ours to free.
    if (!target || *reinterpret_cast<void**>(target) != *reinterpret_cast<void**>(this)) return 0;
    auto* other = static_cast<Prop_WStr*>(target);
    if (other == this) return 1;
    WideChar* copy = Duplicate(Text);
    if (!copy) return 0;
    std::free(other->Text);
    other->Text = copy;
    other->Reserved = Reserved;
    return 1;
}

}  // namespace Kvor
