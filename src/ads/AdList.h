#pragma once

#include <string>

#include "AdListModel.h"

class QTreeView;

// Shows `model` in `lvwItems` with the ad list's columns and behaviour: a check box in front
// of each row, one highlighted row selected as a whole, grid lines, no tree decoration. A
// click on a column header sorts by it, the next the other way, the third restores the
// reply's order.
void SetUpAdListView(QTreeView& lvwItems, AdListModel& model);

// Rebuilds the rows from the list reply; see AdListModel::Fill.
bool FillAdList(AdListModel& lvwItems, std::string reply);

// The hidden id of the highlighted row. False, leaving `id` alone, when no row is
// highlighted or the highlighted row has no hidden id.
bool HighlightedAdId(const QTreeView& lvwItems, std::string& id);
