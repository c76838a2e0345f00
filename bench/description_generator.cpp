#include "description_generator.h"

#include <cstdio>

namespace bench {

namespace {

const char* const language_names[] = {"UK English", "French", "German", "Japanese"};
const char* const parameter_types[] = {"Integer", "Float", "Text", "Integer"};
const char* const property_kinds[] = {"Checkbox", "Editbox String", "Editbox Number", "Combo Box",
                                      "Color"};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

void AppendParameters(std::string& out, int id, bool expression) {
    const int count = 1 + id % 3;
    out += ", \"Parameters\": [";
    for (int p = 0; p < count; ++p) {
        const char* type = parameter_types[(id + p) % 4];
        if (expression && type[0] == 'T') type = "String";
        out += p ? ", " : "";
        out += "[" + Quoted(type) + ", " + Quoted("Value " + std::to_string(p)) + "]";
    }
    out += "]";
}

void AppendEntries(std::string& out, const char* array, int count, const char* title, int kind) {
    out += "\t\t" + Quoted(array) + ": [\n";
    for (int id = 0; id < count; ++id) {
        out += "\t\t\t{\"Title\": " + Quoted(std::string(title) + " " + std::to_string(id));
        if (kind == 2) out += ", \"Returns\": " + Quoted(id % 4 == 3 ? "Text" : "Integer");
        AppendParameters(out, id, kind == 2);
        out += id + 1 < count ? "},\n" : "}\n";
    }
    out += "\t\t],\n";
}

void AppendMenu(std::string& out, const char* name, int count, const char* title) {
    out += "\t\t" + Quoted(name) + ": [\n";
    for (int id = 0; id < count; ++id)
        out += "\t\t\t[" + std::to_string(id) + ", " +
               Quoted(std::string(title) + " " + std::to_string(id)) +
               (id + 1 < count ? "],\n" : "]\n");
    out += "\t\t],\n";
}

void AppendProperties(std::string& out, int count) {
    out += "\t\t\"Properties\": [\n";
    for (int i = 0; i < count; ++i) {
        const char* kind = property_kinds[i % 5];
        out += "\t\t\t{\"Title\": " + Quoted("Property " + std::to_string(i)) +
               ", \"Info\": " + Quoted("What property " + std::to_string(i) + " is for") +
               ", \"Type\": " + Quoted(kind) + ", \"DefaultState\": ";
        switch (i % 5) {
            case 0: out += "true"; break;
            case 1: out += Quoted("default text " + std::to_string(i)); break;
            case 2: out += std::to_string(i * 7); break;
            case 3: out += "0, \"Items\": [\"one\", \"two\", \"three\"]"; break;
            default: out += std::to_string(0x102030 + i); break;
        }
        out += i + 1 < count ? "},\n" : "}\n";
    }
    out += "\t\t]\n";
}

}  // namespace

std::string GenerateDescription(const DescriptionShape& shape) {
    std::string out = "{\n\t\"Identifier\": \"LMBR\",\n\t\"Dependencies\": \"\",\n";
    for (int l = 0; l < shape.Languages; ++l) {
        out += "\t" + Quoted(language_names[l % 4]) + ": {\n";
        out +=
            "\t\t\"About\": {\"Name\": \"Lumbra\", \"Author\": \"Lumbra developers\", "
            "\"Copyright\": \"Copyright (C) 2020\", \"Comment\": \"Generated\", "
            "\"Help\": \"Help/Example.chm\", \"URL\": \"https://lumbra.example.org/\"},\n";
        AppendMenu(out, "ActionMenu", shape.Actions, "Action");
        AppendMenu(out, "ConditionMenu", shape.Conditions, "Condition");
        AppendMenu(out, "ExpressionMenu", shape.Expressions, "Expression");
        AppendEntries(out, "Actions", shape.Actions, "Do the thing", 0);
        AppendEntries(out, "Conditions", shape.Conditions, "Is the thing", 1);
        AppendEntries(out, "Expressions", shape.Expressions, "Value(", 2);
        AppendProperties(out, shape.Properties);
        out += l + 1 < shape.Languages ? "\t},\n" : "\t}\n";
    }
    return out + "}\n";
}

}  // namespace bench
