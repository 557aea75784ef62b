#pragma once

class AdService;
class Messages;
class QTreeWidget;

// What the buttons under the ad list do. Each main-window handler calls one of these.

// Checks (or clears) the box of every row; nothing is sent.
void SelectAllAds(QTreeWidget& lvwItems);
void ClearAdSelection(QTreeWidget& lvwItems);

// Deletes the checked rows' ads after the owner's OK, then reloads the list. Rows without a
// hidden id are never part of it; with nothing to delete nothing is asked.
void DeleteSelectedAds(QTreeWidget& lvwItems, AdService& service, Messages& messages);
// Deletes every ad on the server after the owner's OK; an empty list asks nothing.
void DeleteAllAds(QTreeWidget& lvwItems, AdService& service, Messages& messages);
// Reloads the list, warning the owner when that fails.
void RefreshAdList(QTreeWidget& lvwItems, AdService& service, Messages& messages);
