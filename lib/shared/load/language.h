// Which language object of the description every reader uses: the first name
// of Tovrandi.ini's `Languages` list that the description holds, else the
// default rule.
#pragma once

#include <string>

#include "json/json.h"

namespace Kvor {

// The language object named by the settings file; json_none until one matched.
extern const json_value* CachedLanguage;

const json_value& CurrentLanguage();

// The first root member that is an object: the language section the
// description names first. Counted by kind, not by place, so that a leading
// "$schema" (or a missing "Dependencies") does not shift it; json_none when
// there is none or before SDK exists.
const json_value& PrimaryLanguage();

// The first root member that is an object with an "About" object holding a
// string "Name"; else the root's last member; json_none before SDK exists.
const json_value& DefaultLanguageIndex();

// The language object the settings text names, or null when its `Languages`
// list names none of the description's objects. `found_key` tells whether the
// key was there at all.
const json_value* LanguageFromSettings(std::string text, const json_value& root, bool& found_key);

}  // namespace Kvor
