// Running the column settings dialog, for code that cannot include the form layer's controls beside the
// tree's columns (the column menu). Windows only.
#pragma once

#include "explorer/ColumnFormData.h"

namespace tarvola {

class TComponent;

// Runs the dialog modally over owner, filled with settings; apply is called with the list for each live
// change (while "Live Update" is checked). True for OK, with the final list in settings.
bool RunColumnSettingsDialog(TComponent* owner, std::vector<TColumnData>& settings,
                             const TApplyColumnSettings& apply);

} // namespace tarvola
