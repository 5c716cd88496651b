// SPDX-License-Identifier: GPL-3.0-or-later
#include "StationWebPage.h"

#include "ArchiveHistorySource.h"
#include "StationPipeline.h"

StationWebPage::StationWebPage(std::filesystem::path archivePath, SummarySource* summaries,
                               WebServer::Limits limits)
    : archiveSummaries_(archivePath),
      server_(
          live_,
          [path = std::filesystem::absolute(archivePath)]() -> std::unique_ptr<HistorySource> {
              // No archive yet: nothing made here, the writer makes it.
              if (!std::filesystem::exists(path)) return nullptr;
              return std::make_unique<ArchiveHistorySource>(path);
          },
          summaries ? summaries : &archiveSummaries_, limits) {}

void StationWebPage::Attach(StationPipeline& pipeline) {
    pipeline.AddRecordListener(live_);
    pipeline.AddLiveOutput(live_);
}

void StationWebPage::Detach(StationPipeline& pipeline) {
    pipeline.RemoveRecordListener(live_);
    pipeline.RemoveLiveOutput(live_);
}

bool StationWebPage::Start(const WebSettings& settings, std::string& error,
                           const std::filesystem::path& assetsDir) {
    return server_.Start(settings, error, assetsDir);
}
