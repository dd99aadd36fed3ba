// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The word-processor automation calls the program makes, and nothing more.
// Every call either succeeds or throws Failure with a readable description.
// The real engine is LibreOffice Writer (LibreOfficeWord.h); each created
// application is an office process of its own that lives only as long as
// the object: destroying it without Quit still ends the process. An engine
// may start the process of the next application ahead of its CreateObject.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class WordDocument {
public:
    virtual ~WordDocument() = default;
    // Shapes(name).Select
    virtual void SelectShape(const QString& name) = 0;
    // ActiveWindow.Selection.TypeText Text:=text (CR LF is one paragraph break)
    virtual void TypeText(const QString& text) = 0;
    // SaveAs path, in the Word 97-2003 binary format
    virtual void SaveAs(const QString& path) = 0;
    // Close
    virtual void Close() = 0;
    // Range.CopyAsPicture: a picture of the document's page onto the clipboard
    virtual void CopyRangeAsPicture() = 0;
    // The page as the last CopyRangeAsPicture had it from the engine, as
    // ExportAsPdf gives it: the card's print, there for the taking. Empty
    // when no picture was drawn.
    virtual QByteArray RenderedPdf() const = 0;
    // ExportAsFixedFormat ExportFormat:=wdExportFormatPDF, into memory: the
    // first page as the office prints it, vector output with its fonts
    // embedded and its text kept as text, at the page's own size
    virtual QByteArray ExportAsPdf() = 0;
};

class WordApplication {
public:
    virtual ~WordApplication() = default;
    // Documents.Open path [, ReadOnly:=True]
    virtual std::shared_ptr<WordDocument> Open(const QString& path, bool readOnly) = 0;
    // DisplayAlerts = value
    virtual void SetDisplayAlerts(bool value) = 0;
    // ActiveDocument.Close savechanges:=value
    virtual void CloseActiveDocument(short saveChanges) = 0;
    // Quit: the instance ends
    virtual void Quit() = 0;
};

class WordFactory {
public:
    virtual ~WordFactory() = default;
    // CreateObject(progId): a new, invisible instance; throws Failure when
    // none can be created.
    virtual std::unique_ptr<WordApplication> CreateObject(const QString& progId) = 0;
    // Starts the instance of the next CreateObject(progId) now, while the
    // program does other work; that call then hands it out ready. Nothing
    // is loaded in it. Never throws: a spare that did not come up fails that
    // CreateObject as its own start would have.
    virtual void StartSpare(const QString& progId) {}
    // The characters of `text` that the engine has no font for and so draws
    // as nothing; an engine that knows of none lists none.
    virtual QStringList CharactersWithoutFont(const QString& text) { return {}; }
};
