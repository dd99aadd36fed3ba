// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The fonts an office instance draws with: its font settings for the
// office's version, and the characters of a text that none of those fonts
// has, for which the office draws nothing at all.

#include <QByteArray>
#include <QString>
#include <QStringList>

// The font settings for an office of the given version (as "7.4" or "25.2";
// empty when unknown). Offices before 7.5 put colour glyphs into a PDF with
// nothing drawn in them, so an emoji would leave a gap in the card's
// picture: they are kept from colour fonts and fall back on outline ones.
QByteArray FontConfigForOffice(const QByteArray& fontConfig, const QString& version);

// The characters of `text` (each once, in order of appearance) that no font
// of the fontconfig settings `fontConfig` has; empty settings stand for the
// system's own. Spaces, controls and invisible joiners and selectors need no
// font and are never listed.
QStringList CharactersWithoutFont(const QString& text, const QByteArray& fontConfig);
