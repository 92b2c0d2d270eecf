#pragma once

#include <stdexcept>
#include <string>

namespace vinarca {

// Any failure while loading, filling, preparing or printing a report. The
// windows that own a layout catch it and report it in their own words.
class ReportError : public std::runtime_error
{
public:
    explicit ReportError(const std::string& what) : std::runtime_error(what) {}
};

// The file a document was printed to (a PDF file chosen in the print dialog)
// could not be written whole: a full disk, a protected file, a folder without
// rights. The file the user had under that name is left as it was.
class OutputFileError : public ReportError
{
public:
    using ReportError::ReportError;
};

// The user stopped a print job from its progress window: the printer's job
// is withdrawn, a PDF file is not written.
class PrintCancelled : public ReportError
{
public:
    PrintCancelled() : ReportError("the user cancelled the print job") {}
};

// What the user is told then, whichever document was printed.
inline constexpr char kOutputFileFailureMessage[] =
    "Attenzione: non è stato possibile scrivere il file di stampa.\r\n\r\n"
    "Accertarsi che il disco non sia pieno e di possedere i privilegi di scrittura nella cartella scelta; "
    "un file già presente con lo stesso nome non è stato modificato.";

} // namespace vinarca
