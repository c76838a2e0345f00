// Where in a description the SDK's message boxes point. The reader's
// messages carry a line and column; the record and property messages name
// only a type or a kind, so the entry they are about is found by reading
// the description the way the SDK does. Repeated messages with the same text
// take the matching entries in order.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include "../json_places.h"
#include "plenar_sim/interception.h"

namespace plenar::cli {

struct DescriptionPlace {
    int line = 0, column = 0;  // 1-based; 0 when unknown
    std::string path;          // e.g. Actions[3].Parameters[1]; empty for reader messages
};

class MessagePlaces {
public:
    // `root` may be null when the text does not scan as JSON. The messages
    // are about `section`, or without one about the primary language.
    MessagePlaces(std::string_view text, const JsonNode* root, const JsonNode* section = nullptr);
    std::optional<DescriptionPlace> find(const sim::MessageBoxCall& box);

private:
    std::optional<DescriptionPlace> reader_place(const std::string& text) const;
    std::optional<DescriptionPlace> claim(const sim::MessageBoxCall& box,
                                          const std::vector<DescriptionPlace>& candidates);

    std::string_view text_;
    const JsonNode* language_ = nullptr;
    std::map<std::string, size_t> claimed_;
};

// The language section the SDK reads without a Tovrandi.ini: the root's
// third member when it is an object, else its first object member.
const JsonNode* primary_language(const JsonNode& root);

// The root's members whose values are objects, in order: the sections a
// Tovrandi.ini chooses among.
std::vector<const JsonMember*> language_sections(const JsonNode& root);

}  // namespace plenar::cli
