#include "documents.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "description_generator.h"

namespace bench {

std::vector<Document> DescriptionDocuments() {
    std::ifstream file(LUMBRA_SOURCE_DIR "/res/Lumbra.json", std::ios::binary);
    if (!file) throw std::runtime_error("cannot read res/Lumbra.json");
    std::ostringstream lumbra;
    lumbra << file.rdbuf();
    return {{"Lumbra.json", lumbra.str()}, {"generated large", GenerateDescription({})}};
}

char* MallocCopy(const std::string& text) {
    char* copy = static_cast<char*>(malloc(text.size() + 1));
    memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

}  // namespace bench
