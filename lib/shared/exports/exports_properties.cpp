// The property sheet: opening it (descriptors, storage built from the
// defaults), reading and writing values and check boxes. Identifiers become
// property indices by (id - 0x80000) mod 1000 in unsigned arithmetic, so the
// folder-end id 0x7FFFF gives 295.
#include <cstring>
#include <string>

#include "export_glue.h"
#include "kvor/keys.h"
#include "load/language.h"
#include "properties/storage.h"
#include "properties/stored_form.h"
#include "text/report.h"
#include "sdk.h"
#include "text/converters.h"

using Kvor::EDITDATA;

namespace {

constexpr uint32_t index_wrap = 1000;

// The property index of `id` when the description has such a property and
// the edit data is there; false answers 0 or does nothing, without a message.
bool Guard(const void* edit_data, uint32_t id, uint32_t& index) {
    if (!edit_data || !::SDK) return false;
    index = (id - plenar::property_id_base) % index_wrap;
    const json_value& properties = Kvor::CurrentLanguage()[Kvor::key::language::Properties];
    return properties.type != json_type_null && index < properties.length();
}

bool IsTextProperty(uint32_t index) {
    return Kvor::StoreOf(Kvor::StoredProperties()[static_cast<int32_t>(index)]) ==
           Kvor::PropertyStore::text;
}

// The text or data a STRW, STRA or DATA value points to; "" for none.
template <typename Char>
const Char* TextOf(const plenar::PropValue* value) {
    const auto* text =
        static_cast<const Char*>(plenar::PropLayout<plenar::PropPointerLayout>(value).data);
    static const Char empty[1] = {};
    return text ? text : empty;
}

// A text as stored: UTF-8 and its NUL.
void RewriteText(HostServices* services, EDITDATA*& data, uint32_t index, const std::string& text) {
    Kvor::RewriteProperty(services, data, index, text.c_str(),
                          static_cast<uint32_t>(text.size() + 1));
}

// The UTF-16 text a value points to, as UTF-8.
std::string WideTextOf(const plenar::PropValue* value) {
    return Kvor::WideToUTF8(TextOf<Kvor::WideChar>(value));
}

// Lays out the storage of a block whose storage was never built, as the
// sheet's first opening does; the host may move the block, and the notice
// names the one it now holds.
void LayOut(HostServices* services, EDITDATA*& data) {
    Kvor::InitialisePropertiesFromJSON(services, data);
    if (services && services->service)
        services->service(data, plenar::service_edit_data_notice, 0, 0, 0);
}

// Writes a host value into the property `id` names, as its class gives the
// bytes. A value set before the sheet was ever opened is kept: the storage
// is laid out first, as opening the sheet would.
void SetValue(HostServices* services, void* edit_data, uint32_t id, plenar::PropValue* value) {
    const uint32_t class_id = value->GetClassID();
    uint32_t index;
    if (!Guard(edit_data, id, index)) return;
    auto* data = static_cast<EDITDATA*>(edit_data);
    if (!Kvor::PropertyStorageBuilt(data)) {
        LayOut(services, data);
        if (!Kvor::PropertyStorageBuilt(data)) return;  // the host refused, and it was said
    }
    using plenar::PropLayout;
    switch (class_id) {
        case plenar::prop_class_int:
        case plenar::prop_class_dword:
        case plenar::prop_class_float:
            Kvor::RewriteProperty(services, data, index,
                                  &PropLayout<plenar::PropNumberLayout>(value).value, 4);
            return;
        case plenar::prop_class_double:
            Kvor::RewriteProperty(services, data, index,
                                  &PropLayout<plenar::PropDoubleLayout>(value).value, 8);
            return;
        case plenar::prop_class_int2:
            Kvor::RewriteProperty(services, data, index,
                                  &PropLayout<plenar::PropPairLayout>(value).first, 8);
            return;
        case plenar::prop_class_size:
            Kvor::RewriteProperty(services, data, index,
                                  &PropLayout<plenar::PropSizeLayout>(value).width, 8);
            return;
        case plenar::prop_class_wstr: RewriteText(services, data, index, WideTextOf(value)); return;
        case plenar::prop_class_astr:
            RewriteText(services, data, index, Kvor::ANSIToUTF8(TextOf<char>(value)));
            return;
        case plenar::prop_class_data:
            if (!IsTextProperty(index)) {
                Kvor::Report(Kvor::message::data_value_on_number);
                return;
            }
            RewriteText(services, data, index, WideTextOf(value));
            return;
        default: Kvor::Report(Kvor::message::custom_value_class); return;
    }
}

}  // namespace

PLUGIN_EXPORT int32_t PLENAR_STDCALL GetProperties(HostServices* services, void* edit_data,
                                                   int32_t) {
    if (!edit_data || !::SDK) return 0;
    return Kvor::Guarded(0, [&] {
        const bool can_call = services && services->service;
        if (can_call && !::SDK->EdittimeProperties.empty())
            services->service(edit_data, plenar::service_insert_properties,
                              reinterpret_cast<intptr_t>(::SDK->EdittimeProperties.data()), 1, 1);
        auto* data = static_cast<EDITDATA*>(edit_data);
        if (!Kvor::PropertyStorageBuilt(data)) LayOut(services, data);
        return 1;
    });
}

PLUGIN_EXPORT plenar::PropValue* PLENAR_STDCALL GetPropValue(HostServices*, void* edit_data,
                                                             uint32_t id) {
    return Kvor::Guarded(static_cast<plenar::PropValue*>(nullptr), [&]() -> plenar::PropValue* {
        uint32_t index;
        if (!Guard(edit_data, id, index)) return nullptr;
        return Kvor::GetProperty(static_cast<EDITDATA*>(edit_data), index);
    });
}

PLUGIN_EXPORT int32_t PLENAR_STDCALL GetPropCheck(HostServices*, void* edit_data, uint32_t id) {
    return Kvor::Guarded(0, [&] {
        uint32_t index;
        if (!Guard(edit_data, id, index)) return 0;
        return Kvor::GetPropertyCheck(static_cast<EDITDATA*>(edit_data), index) ? 1 : 0;
    });
}

// A box ticked before the sheet was ever opened is kept: the storage is laid
// out first, as opening the sheet would. (Reading one answers the default.)
PLUGIN_EXPORT void PLENAR_STDCALL SetPropCheck(HostServices* services, void* edit_data, uint32_t id,
                                               int32_t state) {
    Kvor::Guarded([&] {
        uint32_t index;
        if (!Guard(edit_data, id, index)) return;
        auto* data = static_cast<EDITDATA*>(edit_data);
        if (!Kvor::PropertyStorageBuilt(data)) {
            LayOut(services, data);
            if (!Kvor::PropertyStorageBuilt(data)) return;  // the host refused, and it was said
        }
        Kvor::SetPropertyCheck(services, data, index, state != 0);
    });
}

PLUGIN_EXPORT void PLENAR_STDCALL SetPropValue(HostServices* services, void* edit_data, uint32_t id,
                                               plenar::PropValue* value) {
    if (!value) return;
    Kvor::Guarded([&] { SetValue(services, edit_data, id, value); });
}
