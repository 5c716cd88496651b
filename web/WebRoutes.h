// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "AssetFolder.h"
#include "HistorySource.h"
#include "LiveStore.h"
#include "SummarySource.h"
#include "WebAnswer.h"

// Every route but the event stream, as plain C++: a request's method, path
// (as sent and once decoded) and query values in, an answer out. The server
// only moves bytes; the tests drive this and the server alike.
class WebRoutes {
  public:
    using HistoryOpener = std::function<std::unique_ptr<HistorySource>()>;
    static constexpr int kMaxBuckets = 2000;

    // openHistory is called on the first request that needs the archive (and
    // again after a failure); summaries may be null (no climate summaries).
    WebRoutes(LiveStore& live, AssetFolder assets, HistoryOpener openHistory,
              SummarySource* summaries);

    // The answer to `method` on the path; `query` holds from, to, buckets
    // when the request names them. HEAD answers as GET (the server sends no body).
    WebAnswer Answer(const std::string& method, const std::string& rawPath, const std::string& path,
                     const std::map<std::string, std::string>& query);
    // 0 when the request may go on (the route exists, the method is allowed),
    // else the answer to give; for the event stream, which the server runs.
    static WebAnswer Check(const std::string& method, const std::string& rawPath,
                           const std::string& path);

  private:
    WebAnswer ArchiveAnswer(const std::string& path,
                            const std::map<std::string, std::string>& query);
    WebAnswer Summary(const std::string& path);

    LiveStore& live_;
    AssetFolder assets_;
    HistoryOpener openHistory_;
    std::mutex archiveMutex_;  // one reader of the archive at a time
    std::unique_ptr<HistorySource> history_;
    SummarySource* summaries_;
    std::mutex summariesMutex_;
};
