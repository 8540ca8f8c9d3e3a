#include "app/site_command.h"

#include "app/chart_document.h"
#include "base/profile.h"

namespace arbolix {

SiteOptions LoadSiteOptions(ChartDocument& document) {
    LoadSettingGroup(document.profile(), document.settings(), "site");
    return SiteOptionsOf(document.settings());
}

void StoreSiteOptions(ChartDocument& document, const SiteOptions& options) {
    PutSiteOptions(options, document.settings());
    StoreSettingGroup(document.profile(), document.settings(), "site");
}

SiteResult GenerateDocumentSite(ChartDocument& document, const SiteOptions& options,
                                SitePictures& pictures, const SiteProgressFunction& progress) {
    if (!document.hasChart()) return {0, false, true};
    const ChartTree& tree = document.tree();
    const ViewState& view = document.view();
    SiteChart chart{document.workingStore(),
                    document.settings(),
                    tree.chartMode,
                    tree.rootXref,
                    ChartView{view.zoom, view.scrollX, view.scrollY},
                    [&document] { return document.rereadFile(); }};
    const SiteResult result =
        GenerateWebSite(chart, options, pictures, document.reporter(), progress);
    document.rebuild();
    return result;
}

} // namespace arbolix
