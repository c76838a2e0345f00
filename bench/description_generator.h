// A large, description-shaped JSON document for loading and parsing
// benchmarks: many actions, conditions and expressions with parameters,
// properties of several kinds, the same section in several languages.
#pragma once

#include <string>

namespace bench {

struct DescriptionShape {
    int Actions = 1000;
    int Conditions = 1000;
    int Expressions = 1000;
    int Properties = 200;
    int Languages = 3;
};

std::string GenerateDescription(const DescriptionShape& shape);

}  // namespace bench
