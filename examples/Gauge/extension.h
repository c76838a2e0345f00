// Gauge's run-time object: one per instance of the object in a running
// application, made by the SDK's CreateRunObject from the instance's
// edit-time data and owned by its run data.
#pragma once

#include "kvor/extension.h"

class Extension {
public:
    Extension(plenar::RunObjectHeader* run_data, void* edit_data, void* creation);
    Extension(const Extension&) = delete;
    Extension& operator=(const Extension&) = delete;

    Kvor::Runtime Runtime;
    Kvor::Debugger Debugger;

    // From the property sheet.
    int32_t Maximum;
    uint32_t BarColour;  // a Windows colour 0x00BBGGRR
    // Set by the actions.
    int32_t Value = 0;
    Kvor::WideString Caption;

    // Actions, conditions and expressions, linked by id in the constructor.
    void SetValue(int32_t value);
    void SetCaption(const Kvor::WideChar* caption);
    bool CaptionIs(const Kvor::WideChar* caption);
    float Fraction();
    const Kvor::WideChar* GetCaption();
    int32_t GetBarColour();
};
