// Item rows (number, name, value; GBK) masked by the same rule as a HAR:
// for the companion's --mask and the window's masked copies.
#pragma once

#include <vector>

#include "export/exporters.h"
#include "items/analysis_mode.h"
#include "items/rows.h"
#include "mask/secrets.h"

namespace ds {

// Cookies mode: every value (a kept name's excepted). HTTP mode: each value
// as its header's name says. The stand-in's hash and length are the UTF-8
// value's, so a value reads the same masked here as in a sanitised HAR.
void MaskItemRows(std::vector<Row>& rows, AnalysisMode mode, const SecretRule& rule);

// What an export prints besides the items, masked alike: the request's URL
// and body.
void MaskExportTarget(ExportTarget& target, const SecretRule& rule);

}  // namespace ds
