#include "host_values.h"

#include <cstring>
#include "plenar_sim/checked_call.h"

namespace plenar::cli {

void HostTextValue::Destroy(uint32_t flags) {
    if (flags & 1) delete this;
}

int32_t HostTextValue::IsEqual(PropValue* other) {
    return other && other->GetClassID() == prop_class_wstr &&
           static_cast<HostTextValue*>(other)->text_ == text_;
}

int32_t HostTextValue::CopyInto(PropValue* target) {
    if (!target || target->GetClassID() != prop_class_wstr) return 0;
    auto* copy = static_cast<HostTextValue*>(target);
    copy->text_ = text_;
    copy->pointer_ = copy->text_.c_str();
    return 1;
}

void HostNumberValue::Destroy(uint32_t flags) {
    if (flags & 1) delete this;
}

int32_t HostNumberValue::IsEqual(PropValue* other) {
    return other && other->GetClassID() == prop_class_dword && static_cast<HostNumberValue*>(other)->value_ == value_;
}

int32_t HostNumberValue::CopyInto(PropValue* target) {
    if (!target || target->GetClassID() != prop_class_dword) return 0;
    static_cast<HostNumberValue*>(target)->value_ = value_;
    return 1;
}

ReadValue take_plugin_value(PropValue* value) {
    ReadValue read;
    read.class_id = value->GetClassID();
    if (read.class_id == prop_class_wstr) {
        if (const auto* text = static_cast<const wchar_t*>(PropLayout<PropPointerLayout>(value).data))
            read.text = text;
    } else {
        read.number = PropLayout<PropNumberLayout>(value).value;
    }
    value->Delete();
    return read;
}

}  // namespace plenar::cli
