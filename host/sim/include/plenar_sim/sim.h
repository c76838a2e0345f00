// The Plenar host simulator: everything a test or a validator needs.
#pragma once

#include "plenar/exports.h"  // the whole published interface

#include "checked_call.h"
#include "edit_data_store.h"
#include "host.h"
#include "host_values.h"
#include "interception.h"
#include "pe_image.h"
#include "png_writer.h"
#include "process.h"
#include "plugin.h"
#include "resources.h"
#include "run_time.h"
#include "surfaces.h"
#include "temp_folder.h"
#include "utf8.h"
