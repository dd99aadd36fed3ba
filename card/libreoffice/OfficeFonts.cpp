// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "OfficeFonts.h"

#include <QSet>
#include <QVersionNumber>
#include <fontconfig/fontconfig.h>
#include <memory>

QByteArray FontConfigForOffice(const QByteArray& fontConfig, const QString& version)
{
    const QVersionNumber office = QVersionNumber::fromString(version);
    const qsizetype end = fontConfig.lastIndexOf("</fontconfig>");
    if (office.isNull() || QVersionNumber::compare(office, QVersionNumber(7, 5)) >= 0 || end < 0)
        return fontConfig;
    QByteArray out = fontConfig;
    out.insert(end, "  <selectfont><rejectfont><pattern><patelt name=\"color\"><bool>true</bool></patelt></pattern>"
                    "</rejectfont></selectfont>\n");
    return out;
}

namespace {

bool NeedsNoFont(char32_t code)
{
    switch (QChar::category(code)) {
    case QChar::Other_Control:
    case QChar::Other_Format:  // joiners, tags
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        // Variation selectors only choose how the character before them looks.
        return (code >= 0xFE00 && code <= 0xFE0F) || (code >= 0xE0100 && code <= 0xE01EF);
    }
}

}  // namespace

QStringList CharactersWithoutFont(const QString& text, const QByteArray& fontConfig)
{
    QSet<char32_t> seen;
    QList<char32_t> asked;
    for (const char32_t code : text.toUcs4())
        if (!NeedsNoFont(code) && !seen.contains(code)) {
            seen.insert(code);
            asked.append(code);
        }
    if (asked.isEmpty())
        return {};

    const std::unique_ptr<FcConfig, decltype(&FcConfigDestroy)> config(FcConfigCreate(), FcConfigDestroy);
    const bool loaded = fontConfig.isEmpty()
                            ? FcConfigParseAndLoad(config.get(), nullptr, FcTrue)
                            : FcConfigParseAndLoadFromMemory(config.get(),
                                                             reinterpret_cast<const FcChar8*>(fontConfig.constData()), FcTrue);
    // Settings that cannot be read say nothing about the fonts: list nothing.
    if (!loaded || !FcConfigBuildFonts(config.get()))
        return {};
    const std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> family(FcObjectSetBuild(FC_FAMILY, nullptr),
                                                                            FcObjectSetDestroy);
    QStringList missing;
    for (const char32_t code : asked) {
        const std::unique_ptr<FcCharSet, decltype(&FcCharSetDestroy)> wanted(FcCharSetCreate(), FcCharSetDestroy);
        FcCharSetAddChar(wanted.get(), code);
        const std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(), FcPatternDestroy);
        FcPatternAddCharSet(pattern.get(), FC_CHARSET, wanted.get());
        FcFontSet* fonts = FcFontList(config.get(), pattern.get(), family.get());
        if (!fonts || fonts->nfont == 0)
            missing << QString::fromUcs4(&code, 1);
        if (fonts)
            FcFontSetDestroy(fonts);
    }
    return missing;
}
