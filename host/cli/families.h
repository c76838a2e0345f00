// The three families of entries as plenar-host's lint and compat speak of
// them: the word for one, its menu, its array and the keys of one of its
// entries.
#pragma once

#include <span>
#include "kvor/keys.h"

namespace plenar::cli {

struct Family {
    const char* kind;    // "action"
    const char* one;     // "an action"
    const char* plural;  // "actions"
    const Kvor::Key& menu;
    const Kvor::Key& entries;
    std::span<const Kvor::Key> keys;

    bool is_expression() const { return &entries == &Kvor::key::language::Expressions; }
};

inline const Family families[] = {
    {"action", "an action", "actions", Kvor::key::language::ActionMenu,
     Kvor::key::language::Actions, Kvor::key::entry::actions},
    {"condition", "a condition", "conditions", Kvor::key::language::ConditionMenu,
     Kvor::key::language::Conditions, Kvor::key::entry::conditions},
    {"expression", "an expression", "expressions", Kvor::key::language::ExpressionMenu,
     Kvor::key::language::Expressions, Kvor::key::entry::expressions},
};

}  // namespace plenar::cli
