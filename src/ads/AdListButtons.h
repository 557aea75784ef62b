#pragma once

class AdService;
class Messages;
class AdListModel;

// What the buttons under the ad list do. Each main-window handler calls one of these.

// Checks (or clears) the box of every row; nothing is sent.
void SelectAllAds(AdListModel& lvwItems);
void ClearAdSelection(AdListModel& lvwItems);

// Deletes the checked rows' ads after the owner's OK, then reloads the list. The ids go in
// the order the rows are shown; rows without a hidden id are never part of it; with nothing
// to delete nothing is asked.
void DeleteSelectedAds(AdListModel& lvwItems, AdService& service, Messages& messages);
// Deletes every ad on the server after the owner's OK; an empty list asks nothing.
void DeleteAllAds(AdListModel& lvwItems, AdService& service, Messages& messages);
// Reloads the list, warning the owner when that fails.
void RefreshAdList(AdListModel& lvwItems, AdService& service, Messages& messages);
