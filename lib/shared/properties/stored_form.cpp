#include "properties/stored_form.h"

#include "kvor/keys.h"
#include "load/language.h"

namespace Kvor {

const json_value& StoredProperties() { return DefaultLanguageIndex()[key::language::Properties]; }

bool RecordsLayout() {
    const json_value& option = DefaultLanguageIndex()[key::language::LayoutRecord];
    return option.type == json_type_boolean && option.boolean();
}

uint32_t PropertyCount(const json_value& properties) {
    return properties.type == json_type_array ? properties.length() : 0;
}

PropertyStore StoreOf(const json_value& entry) {
    const PropertyType* type = FindPropertyType(entry[key::property::Type].text());
    return type ? type->store : PropertyStore::unsupported;
}

}  // namespace Kvor
