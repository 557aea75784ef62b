#pragma once

#include <string>

class QTreeWidget;
class QTreeWidgetItem;

// The ad list's columns, left to right. Each row also carries its ad's id, hidden.
enum AdListColumn {
    kColumnTitle,
    kColumnSubtitle,
    kColumnUrl,
    kColumnContent,
    kColumnPicture,
    kColumnRate,
    kColumnStatus,
    kAdListColumns
};

// Gives `lvwItems` the ad list's columns and behaviour: a check box in front of each row,
// one highlighted row selected as a whole, no sorting, no tree decoration.
void SetUpAdListView(QTreeWidget& lvwItems);

// Rebuilds the rows from the list reply, in reply order, unchecked and none highlighted.
// False when a record is too short: the rows before it stay, and so does the row of that
// record as far as it was filled, but without a hidden id.
bool FillAdList(QTreeWidget& lvwItems, const std::string& reply);

// A row that FillAdList completed has a hidden id; only such a row may be acted on.
bool HasHiddenId(const QTreeWidgetItem& row);
std::string HiddenId(const QTreeWidgetItem& row);
void SetHiddenId(QTreeWidgetItem& row, const std::string& id);

// The hidden id of the highlighted row. False, leaving `id` alone, when no row is
// highlighted or the highlighted row has no hidden id.
bool HighlightedAdId(const QTreeWidget& lvwItems, std::string& id);
