#pragma once
// Reading a report project file ("Gslip3.rpt").
//
// The file is UTF-8 text, read line by line. A line holds one statement:
// a keyword and its settings, separated by blanks. Blank lines and lines
// whose first character (after blanks) is "#" are skipped; indentation only
// helps the reader. A setting is key=value; a value or a text that holds
// blanks is written in double quotes, where \" stands for a quote and \\ for
// a backslash. Names and keywords match without regard to case. Positions
// and sizes are inches.
//
//   font NAME face="Arial" size=9 [bold]
//       A font the items may use; size in points. Fonts are shared by all
//       reports of the project.
//   report NAME connection=CONNECTION [orientation=portrait|landscape]
//          [margins=ALL | margins=LEFT,TOP,RIGHT,BOTTOM]
//       Starts a report; its records come from the named data connection.
//       Margins default to 0.5 in.
//   band PageHeader|ColumnHeader|Detail|PageFooter|Summary height=H [pages=all|records]
//       Starts a band of the current report. Page header and column header
//       stand at the top of every page (the column header only on pages
//       that list records), the page footer at the bottom of every page, the
//       detail band once per record, the summary once after the last record.
//       pages=records leaves a page header or footer out on a page that
//       lists no records (the summary's own page). Every report needs a
//       detail band.
//   text x=X [y=Y] w=W [font=NAME] [align=left|center|right] "TEMPLATE"
//       Text in a column W wide; a text longer than its column is cut to it.
//       The default font is the first one declared.
//   rule x=X [y=Y] (w=W | h=H) [thick=T]
//       A horizontal rule W long, or a vertical one H long (default T 0.01).
//   box x=X [y=Y] w=W h=H [thick=T]
//       A frame.
//   end
//       Closes the current report.
//
// A template is literal text with values in braces:
//   {field:NAME}    the field of the current record (detail band only),
//                   blanks around it removed
//   {amount:NAME}   a money field of the current record with two decimals
//                   and thousands commas, whatever the log holds ("12.5"
//                   shows as 12.50); right-aligned, the points stand in one
//                   line. A text that is no amount shows as it is.
//   {param:NAME}    a parameter the program sets before the run
//   {page} {pages}  this page's number and the number of pages
//   {line}          the record's running number (detail band only)
//   {count}         records in the report; {pagecount} records on this page
//   {sum:NAME}      the sum of a money field over the report, two decimals
//   {pagesum:NAME}  the same over the records of this page
// A page that lists no records (the summary's own page) has no {pagecount}
// and no {pagesum:...}: they are empty there.
// "{{" and "}}" stand for literal braces. A text whose values are all empty
// is not printed, and literal text between two values is printed only when
// something stands before it and the value after it is not empty, so
// "{field:city}, {field:state} {field:zip}" never begins with a comma.
#include "report/reportmodel.h"

#include <string>

namespace gs {

// Reads the file now. ReportError naming the file's full path when it cannot
// be read, and the line when its content is damaged.
ReportProjectFile ReadReportProject(const std::string& path);

// The same for text already in memory; fileName is used in error texts.
ReportProjectFile ParseReportProject(const QString& text, const std::string& fileName);

}  // namespace gs
