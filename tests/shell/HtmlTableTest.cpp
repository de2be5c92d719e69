#include "shell/window/HtmlTable.h"

#include "ShellTestSupport.h"
#include "TestText.h"

#include <gtest/gtest.h>

namespace {

struct THtmlCase {
    const char* name;
    const char* html;
    std::vector<QStringList> rows;
    friend void PrintTo(const THtmlCase& c, std::ostream* os) { *os << c.name; }
};

class HtmlTable : public testing::TestWithParam<THtmlCase> {};

TEST_P(HtmlTable, ReadsTheCellsAsThePageShowsThem) {
    EXPECT_EQ(ReadHtmlTable(QString::fromUtf8(GetParam().html)), GetParam().rows);
}

const THtmlCase HtmlCases[] = {
    {"LibreOfficeCalc",
     R"html(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.0 Transitional//EN">
<html><head>
<meta http-equiv="content-type" content="text/html; charset=utf-8"/>
<meta name="generator" content="LibreOffice 7.4.7.2 (Linux)"/>
<style type="text/css">
	body,div,table,thead,tbody,tfoot,tr,th,td,p { font-family:"Liberation Sans"; font-size:x-small }
</style>
</head>
<body>
<table cellspacing="0" border="0">
	<colgroup width="85"></colgroup>
	<colgroup width="120"></colgroup>
	<tr>
		<td height="17" align="right" sdval="1001" sdnum="1041;"><font face="IPAPGothic">1001</font></td>
		<td align="left"><font face="IPAPGothic">佐藤　花子</font></td>
	</tr>
	<tr>
		<td height="17" align="right" sdval="1002" sdnum="1041;">1002</td>
		<td align="left"><br></td>
	</tr>
</table>
</body></html>
)html",
     {{"1001", "佐藤　花子"}, {"1002", ""}}},
    {"MicrosoftExcel",
     R"html(<html xmlns:o="urn:schemas-microsoft-com:office:office"
xmlns:x="urn:schemas-microsoft-com:office:excel"
xmlns="http://www.w3.org/TR/REC-html40">
<head>
<meta http-equiv=Content-Type content="text/html; charset=utf-8">
<meta name=ProgId content=Excel.Sheet>
<meta name=Generator content="Microsoft Excel 15">
<style>
<!--table
	{mso-displayed-decimal-separator:"\.";
	mso-displayed-thousand-separator:"\,";}
td	{padding-top:1px; mso-number-format:General;}
-->
</style>
</head>
<body link="#0563C1" vlink="#954F72">
<table border=0 cellpadding=0 cellspacing=0 width=144 style='border-collapse:
 collapse;width:108pt'>
<!--StartFragment-->
 <col width=72 span=2 style='width:54pt'>
 <tr height=18 style='height:13.5pt'>
  <td height=18 align=right width=72 style='height:13.5pt;width:54pt'>1001</td>
  <td width=72 style='width:54pt'>Tom<br style='mso-data-placement:same-cell;'>&amp; Ann</td>
 </tr>
 <tr height=18 style='height:13.5pt'>
  <td height=18 align=right style='height:13.5pt'>1002</td>
  <td>田中</td>
 </tr>
<!--EndFragment-->
</table>
</body>
</html>
)html",
     {{"1001", "Tom\n& Ann"}, {"1002", "田中"}}},
    {"BrowserCopyOfAWebTable",
     R"html(<meta http-equiv="content-type" content="text/html; charset=utf-8"><table class="wikitable"><thead><tr><th>番号</th><th>氏名</th><th>組</th></tr></thead><tbody><tr><td>1001</td><td><a href="/wiki/Sato">Sato</a>&nbsp;Ken</td><td>A</td></tr><tr><td>1002</td><td colspan="2">
  Suzuki   Yui </td></tr></tbody></table>)html",
     {{"番号", "氏名", "組"}, {"1001", "Sato Ken", "A"}, {"1002", "Suzuki Yui", ""}}},
    {"NoTable", "<p>Sato <b>Ken</b></p>", {}},
};
INSTANTIATE_TEST_SUITE_P(Forms, HtmlTable, testing::ValuesIn(HtmlCases), TCaseName());

} // namespace
