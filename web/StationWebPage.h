// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

#include "ArchiveSummarySource.h"
#include "LiveStore.h"
#include "WebServer.h"

class StationPipeline;

// The web page as a program runs it, the logger and the window alike: the
// store the pipeline feeds, the server reading the archive at archivePath.
// Attach before records come, Start and Stop as the settings say (again and
// again), Detach before it goes. The climate summaries come from the same
// archive unless another source is given.
class StationWebPage {
  public:
    explicit StationWebPage(std::filesystem::path archivePath, SummarySource* summaries = nullptr,
                            WebServer::Limits limits = {});

    void Attach(StationPipeline& pipeline);
    void Detach(StationPipeline& pipeline);
    bool Start(const WebSettings& settings, std::string& error,
               const std::filesystem::path& assetsDir = {});
    void Stop() { server_.Stop(); }

    // The heading and units of the climate summaries served.
    void SetSummarySettings(const StationIdentity& station, bool metric) {
        archiveSummaries_.SetSettings(station, metric);
    }

    LiveStore& live() { return live_; }
    WebServer& server() { return server_; }

  private:
    LiveStore live_;
    ArchiveSummarySource archiveSummaries_;  // before the server, which refers to it
    WebServer server_;
};
