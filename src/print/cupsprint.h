#pragma once

// A PDF handed to a CUPS printer as it is: CUPS takes PDF documents and converts them for the
// printer itself, so the text reaches the paper as text.

#include <QString>

struct CupsJobOptions
{
    QString title;
    int copies = 1;
    bool collate = true;
    bool twoSided = false;
    bool shortEdge = false; // turned over along the short edge (two-sided only)
};

// Whether the CUPS printer of that name takes "application/pdf" documents.
bool cupsTakesPdf(const QString& printer);

// Sends the PDF file to the printer as one job; false, with one debug line, when CUPS refused it.
bool cupsPrintPdf(const QString& printer, const QString& pdfFile, const CupsJobOptions& options);
