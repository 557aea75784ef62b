#pragma once

#include <string>

class Messages;
class QTreeView;
class QWidget;

// The address of an ad's preview: the site URL as stored, the display script and the id.
std::string PreviewAddress(const std::string& webserver, const std::string& id);

// Preview Picture Ad: the highlighted row's ad in the preview window, which is loaded with
// the web engine the first time. Throws std::runtime_error when the preview module cannot be
// loaded.
void PreviewAd(const QTreeView& lvwItems, const std::string& webserver, Messages& messages,
               QWidget* parent);
