// The documents the parsing and loading benchmarks share: Lumbra's own
// description and a generated large one.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct Document {
    std::string Name;
    std::string Text;
};

// Lumbra's description (from the source tree) and the large generated one.
std::vector<Document> DescriptionDocuments();

// `text` in a malloc'd block with a NUL after it, as json_read takes it.
char* MallocCopy(const std::string& text);

}  // namespace bench
