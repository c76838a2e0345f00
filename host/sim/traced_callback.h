// The simulator's side of the trace: a host callback, timed and recorded.
#pragma once

#include <initializer_list>
#include <optional>
#include <string_view>
#include <type_traits>
#include "plenar_sim/checked_call.h"
#include "plenar_sim/trace.h"

namespace plenar::sim {

// Runs a host callback the plug-in called, traced under `name`.
template <typename Call>
auto traced_callback(std::string_view name, std::initializer_list<Word> arguments, Call call) {
    TracedCall traced("callback", name, arguments);
    if constexpr (std::is_void_v<decltype(call())>) {
        call();
        traced.finish(std::nullopt);
    } else {
        const auto result = call();
        traced.finish(word(result));
        return result;
    }
}

}  // namespace plenar::sim
