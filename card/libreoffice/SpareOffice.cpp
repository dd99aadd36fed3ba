// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "SpareOffice.h"

#include "OfficeSession.h"

#include <utility>

SpareOffice::SpareOffice(Clipboard& clipboard, const LibreOfficeOptions& options)
    : mStarting([this, &clipboard, options] {
          try {
              auto session = std::make_shared<OfficeSession>(clipboard, options);
              session->start();
              mSession = std::move(session);
          } catch (...) {
              mFailure = std::current_exception();
          }
      })
{
}

SpareOffice::~SpareOffice()
{
    // An office still coming up is waited for (one start bound at most),
    // then ended as any other is.
    waitStarted();
}

void SpareOffice::waitStarted()
{
    if (mStarting.joinable())
        mStarting.join();
}

std::shared_ptr<OfficeSession> SpareOffice::take()
{
    waitStarted();
    if (mFailure)
        std::rethrow_exception(std::exchange(mFailure, nullptr));
    return std::move(mSession);
}
