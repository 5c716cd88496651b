// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "UploadOptions.h"
#include "UploadResult.h"

// One HTTP GET of an upload through libcurl, bounded by the timing's
// connect and total time-outs; a set cancel flag ends it within a moment.
class HttpUploadClient {
  public:
    HttpUploadClient(UploadTiming timing, const std::atomic<bool>& cancel);

    // ok when the server answers 2xx and its reply, trimmed, is "success"
    // (Weather Underground), or, with anyOkReply (PWSweather), a JSON reply
    // whose "success" is true, or any other 2xx reply that does not speak of
    // an error. The reply is shown filtered, each text of hidden (the key,
    // the query) taken out.
    UploadResult Get(const std::string& url, bool anyOkReply,
                     const std::vector<std::string>& hidden = {});

  private:
    UploadTiming timing_;
    const std::atomic<bool>& cancel_;
};
