#pragma once

class QLabel;
class QWidget;
struct BrandProfile;

// The brand's visible side on the main window, applied once after the profile is read.

// The chosen banner in `panel`: the stored picture "banner<n>.dat" is read in place, in the
// format its picture name's extension gives; a ".gif" anywhere in the picture name's full
// path selects the animated view. The panel takes the picture's height + 10, and is hidden
// when there is no banner, no stored file or no picture in it. A click URL gives both views
// the hand cursor.
void ShowBanner(const BrandProfile& profile, QWidget* panel, QLabel* still, QLabel* animated);

// The two links: captions and targets (kept in each label's "target" property); the panel
// shows only with a first link.
void ShowLinks(const BrandProfile& profile, QWidget* panel, QLabel* link1, QLabel* link2);

// "mainskin.dat" as the program's style sheet and "main.ico" as its icon, when present.
void ApplySkinAndIcon();
