#pragma once
// The command "Générer Site Web" on the chart document: its five settings, read when the command
// runs and written when its dialog is confirmed, and the site of the chart shown.

#include "export/web_site.h"

namespace arbolix {

class ChartDocument;

// The settings as the profile holds them now (the title empty).
SiteOptions LoadSiteOptions(ChartDocument& document);
// The dialog's choices into the settings, and their keys written.
void StoreSiteOptions(ChartDocument& document, const SiteOptions& options);

// The site from the chart shown (its chosen person, mode, zoom and scroll). Afterwards the chart
// is computed again around its root, so that the window shows it as before. Nothing without a
// chart.
SiteResult GenerateDocumentSite(ChartDocument& document, const SiteOptions& options,
                                SitePictures& pictures, const SiteProgressFunction& progress = {});

} // namespace arbolix
