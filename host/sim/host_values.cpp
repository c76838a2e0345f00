#include "plenar_sim/host_values.h"

#include <iterator>

namespace plenar::sim {

HostValue::HostValue(std::wstring text) : class_id_(prop_class_wstr), text_(std::move(text)) {
    PropLayout<PropPointerLayout>(this).data = text_.c_str();
}

HostValue::HostValue(uint32_t number, uint32_t class_id) : class_id_(class_id) {
    PropLayout<PropNumberLayout>(this).value = number;
}

HostValue::HostValue(uint32_t class_id, const HostValueData& data) : class_id_(class_id) {
    switch (class_id) {
        case prop_class_int:
        case prop_class_dword:
        case prop_class_float: PropLayout<PropNumberLayout>(this).value = data.number; break;
        case prop_class_double: PropLayout<PropDoubleLayout>(this).value = data.real; break;
        case prop_class_int2:
            PropLayout<PropPairLayout>(this).first = data.first;
            PropLayout<PropPairLayout>(this).second = data.second;
            break;
        case prop_class_size:
            PropLayout<PropSizeLayout>(this).width = data.first;
            PropLayout<PropSizeLayout>(this).height = data.second;
            break;
        case prop_class_wstr:  // its own copy, as a text made by the host owns its text
            if (data.pointer) text_ = static_cast<const wchar_t*>(data.pointer);
            PropLayout<PropPointerLayout>(this).data = data.pointer ? text_.c_str() : nullptr;
            break;
        default: PropLayout<PropPointerLayout>(this).data = data.pointer; break;
    }
}

void HostValue::Destroy(uint32_t flags) {
    if (flags & 1) delete this;
}

PropValue* HostValue::CreateCopy() {
    if (class_id_ == prop_class_wstr) return new HostValue(text_);
    auto* copy = new HostValue(class_id_, HostValueData{});
    for (size_t i = 0; i < std::size(data_); ++i) copy->data_[i] = data_[i];
    return copy;
}

uint32_t HostValue::GetClassID() {
    ++class_asks_;
    return class_id_;
}

namespace {

// The same class pointer: an object of this very class, whose text it owns.
bool SameClass(const PropValue* a, const PropValue* b) {
    return *reinterpret_cast<void* const*>(a) == *reinterpret_cast<void* const*>(b);
}

}  // namespace

// A value of the same class code compares by its data, whoever made it.
int32_t HostValue::IsEqual(PropValue* other) {
    if (!other || other->GetClassID() != class_id_) return 0;
    if (class_id_ != prop_class_wstr) return PropLayout<PropNumberLayout>(other).value == number();
    const auto* theirs = static_cast<const wchar_t*>(PropLayout<PropPointerLayout>(other).data);
    return theirs && text_ == theirs;
}

// Only into another host value of the same class: a plug-in's object has the
// layout but not this class's ownership of its text.
int32_t HostValue::CopyInto(PropValue* target) {
    if (!target || !SameClass(target, this)) return 0;
    auto* same = static_cast<HostValue*>(target);
    if (same->class_id_ != class_id_) return 0;
    if (class_id_ == prop_class_wstr) {
        same->text_ = text_;
        PropLayout<PropPointerLayout>(same).data = same->text_.c_str();
    } else {
        PropLayout<PropNumberLayout>(same).value = number();
    }
    return 1;
}

ReadValue take_plugin_value(PropValue* value) {
    ReadValue read;
    read.class_id = value->GetClassID();
    if (read.class_id == prop_class_wstr) {
        if (const auto* text =
                static_cast<const wchar_t*>(PropLayout<PropPointerLayout>(value).data))
            read.text = text;
    } else {
        read.number = PropLayout<PropNumberLayout>(value).value;
    }
    value->Delete();
    return read;
}

}  // namespace plenar::sim
