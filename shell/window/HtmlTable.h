#pragma once

#include <QString>
#include <QStringList>
#include <vector>

/// The cells of the first table of an HTML text, as spreadsheets and web pages put a copied
/// range on the clipboard: one list of cell texts per row of the table, header cells as any
/// other. A cell's text is what the page shows, its blanks and line breaks at either end left
/// out; a cell that a merged cell covers is empty. Empty when the text holds no table.
std::vector<QStringList> ReadHtmlTable(const QString& html);
