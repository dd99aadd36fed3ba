// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// One card at a time between copies of the program: copies that share a
// temporary folder share its fixed names (template.dot, temp.bmp), and the
// clipboard the picture passes through. A lock on a file in that folder,
// held from writing the template to deleting the snapshot, makes a second
// copy wait for the first instead of taking its files.

#include <QByteArray>
#include <chrono>

class GenerationLock {
public:
    GenerationLock() = default;
    ~GenerationLock() { release(); }
    GenerationLock(const GenerationLock&) = delete;
    GenerationLock& operator=(const GenerationLock&) = delete;

    // Waits until no other copy makes a card in the temporary folder, for
    // at most `bound`, while the windows go on repainting and taking input.
    // Throws Failure past the bound, and the card is then made without the
    // lock. A folder the lock file cannot be made in is used without one:
    // no other copy can lock or write there either.
    void acquire(std::chrono::milliseconds bound);
    // Removes the lock file and lets the next copy go.
    void release() noexcept;
    bool held() const { return mFd >= 0; }

    // The lock file's name in the temporary folder.
    static constexpr char kFileName[] = "card.lock";

private:
    int mFd = -1;
    QByteArray mPath;
};
