#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "app/RichText.h"

namespace tessarin::app {
namespace {

TEST(RichTextTest, WrittenDocumentReadsBackAsTheSameText) {
  const QString texts[] = {
      "",
      "121",
      " 121",
      "1\t1e4\t-1e-11\t1e-11\t1\t1e5\t1e-15\t1e-11\t",
      "\t\t",
      "a\nb",
      "ends with a line break\n",
      "\n\n",
      "back\\slash {braces} }{ \\par \\'e9 \\u233?",
      QString::fromUtf8("caf\u00e9 \u20ac \u03c3\u1d67 \u6e2c\u5b9a \U0001F600"),
      QString("\r\n lone CR\r and NUL ") + QChar(0) + QChar(0x7F) + QChar(0xFFFF),
      "digits after escapes: \u00e95 \t5",
  };
  for (const QString& text : texts) {
    const QByteArray document = plainTextToRtf(text);
    EXPECT_TRUE(document.startsWith("{\\rtf1")) << document.constData();
    EXPECT_EQ(rtfToPlainText(document), text) << document.constData();
  }
}

TEST(RichTextTest, WrittenDocumentIsSevenBitWithSpaceAfterEveryParameter) {
  const QByteArray document = plainTextToRtf(QString::fromUtf8("121 \u00e9"));
  for (const char ch : document) EXPECT_LT(static_cast<unsigned char>(ch), 0x80);
  EXPECT_TRUE(document.contains("\\fs17 121 \\u233\\'e9")) << document.constData();
  EXPECT_TRUE(document.contains("{\\fonttbl")) << document.constData();
}

TEST(RichTextTest, RandomTextsSurviveTheRoundTrip) {
  QRandomGenerator random(20261207);
  const char16_t alphabet[] = {u'1', u'e', u'-', u' ',  u'\t', u'\n',  u'\r',  u'\\',
                               u'{', u'}', u'?', u'\'', u'\0', 0x00e9, 0x2014, 0xd83d};
  for (int round = 0; round < 500; ++round) {
    QString text;
    const int length = random.bounded(40);
    for (int i = 0; i < length; ++i) text += QChar(alphabet[random.bounded(16)]);
    ASSERT_EQ(rtfToPlainText(plainTextToRtf(text)), text) << plainTextToRtf(text).constData();
  }
}

struct EditorDocument {
  const char* name;
  QByteArray document;
  QString text;
};

TEST(RichTextTest, DocumentsOfOtherEditorsGiveTheirBodyText) {
  const EditorDocument cases[] = {
      {"WordPad",
       "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
       "Calibri;}}\r\n{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n\\pard\\sa200"
       "\\sl276\\slmult1\\f0\\fs22\\lang9 121\\par\r\n}\r\n",
       "121"},
      {"Word",
       "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff31507\\deff0{\\fonttbl{\\f0\\fbidi "
       "\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}}"
       "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}"
       "{\\*\\defchp \\fs22 }{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\f0\\fs24 \\snext0 Normal;}"
       "{\\*\\cs10 \\additive \\ssemihidden Default Paragraph Font;}}"
       "{\\info{\\title Settings}{\\author Lab}{\\creatim\\yr2026\\mo12\\dy7}}"
       "{\\*\\rsidtbl \\rsid1}{\\*\\xmlnstbl {\\xmlns1 http://schemas.example}}"
       "\\pard\\plain \\ltrpar\\ql \\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid1 210"
       "{\\*\\bkmkstart x}{\\*\\bkmkend x}\\par }",
       "210"},
      {"LibreOffice",
       "{\\rtf1\\ansi\\deff3\\adeflang1025\n{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New "
       "Roman;}{\\f3\\fswiss\\fprq2\\fcharset0 Liberation Sans{\\*\\falt Arial};}}\n"
       "{\\colortbl;\\red0\\green0\\blue0;}\n{\\stylesheet{\\s0\\snext0 Standard;}}\n"
       "{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}"
       "{\\info{\\creatim\\yr2026\\mo12\\dy7\\hr9\\min14}}\\deftab709\n"
       "\\pgndec\\pard\\plain \\s0\\ql{\\loch\n105}\n\\par }",
       "105"},
      {"escape in the code page", "{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80\\'96}",
       QString::fromUtf8("caf\u00e9 \u20ac\u2013")},
      {"Cyrillic code page", "{\\rtf1\\ansi\\ansicpg1251 \\'c4\\'e0}",
       QString::fromUtf8("\u0414\u0430")},
      {"unknown code page read as 1252", "{\\rtf1\\ansi\\ansicpg99999 \\'80\\'e9}",
       QString::fromUtf8("\u20ac\u00e9")},
      {"Unicode with one fallback", "{\\rtf1\\ansi\\uc1 caf\\u233?s}",
       QString::fromUtf8("caf\u00e9s")},
      {"Unicode with an escape as fallback", "{\\rtf1\\ansi caf\\u233\\'e9s}",
       QString::fromUtf8("caf\u00e9s")},
      {"Unicode without fallback", "{\\rtf1\\ansi\\uc0\\u233 5}", QString::fromUtf8("\u00e95")},
      {"two fallback characters", "{\\rtf1\\ansi\\uc2\\u8364 EU5}", QString::fromUtf8("\u20ac5")},
      {"negative Unicode", "{\\rtf1\\ansi\\u-3913?}", QString::fromUtf8("\uf0b7")},
      {"fallback ends with the group", "{\\rtf1\\ansi{\\uc3\\u233 a}b}",
       QString::fromUtf8("\u00e9b")},
      {"fallback length is per group", "{\\rtf1\\ansi{\\uc0 x}\\u233?}",
       QString::fromUtf8("x\u00e9")},
      {"binary data", "{\\rtf1\\ansi 1{\\bin5 {\\}x}}2}", "12"},
      {"picture", "{\\rtf1 1{\\pict\\wmetafile8 0a0b{\\*\\blipuid 1}}2}", "12"},
      {"nested groups", "{\\rtf1{{{1}{\\b 2}}3}{\\i{\\ul 4}}}", "1234"},
      {"control symbols", "{\\rtf1 a\\{b\\}c\\\\d\\~e\\-f\\_g}",
       QString::fromUtf8("a{b}c\\d\u00a0ef\u2011g")},
      {"tab and line", "{\\rtf1 1\\tab 2\\line 3\\tab}", "1\t2\n3\t"},
      {"paragraphs", "{\\rtf1 1\\par 2\\par\\par}", "1\n2\n"},
      {"paragraph mark followed by text", "{\\rtf1 1\\par 2}", "1\n2"},
      {"typographic words", "{\\rtf1 \\lquote a\\rquote \\emdash\\bullet}",
       QString::fromUtf8("\u2018a\u2019\u2014\u2022")},
      {"text after the document ignored", "{\\rtf1 121}garbage", "121"},
      {"line breaks in the source ignored", "{\\rtf1 1\r\n2\n1}", "121"},
      {"field result kept, instruction skipped",
       "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt 121}}}", "121"},
      {"leading blanks before the header", "  \r\n{\\rtf1 7}", "7"},
  };
  for (const EditorDocument& c : cases) EXPECT_EQ(rtfToPlainText(c.document), c.text) << c.name;
}

TEST(RichTextTest, TextWithoutRtfHeaderIsTakenAsItStands) {
  EXPECT_EQ(rtfToPlainText("121"), "121");
  EXPECT_EQ(rtfToPlainText("1\t1e4\t\r\n"), "1\t1e4\t\r\n");
  EXPECT_EQ(rtfToPlainText(""), "");
  EXPECT_EQ(rtfToPlainText("caf\xc3\xa9"), QString::fromUtf8("caf\u00e9"));
  EXPECT_EQ(rtfToPlainText("caf\xe9"), QString::fromUtf8("caf\u00e9"));
  EXPECT_EQ(rtfToPlainText("{\\rt 1}"), "{\\rt 1}");
}

TEST(RichTextTest, MalformedDocumentsGiveWhatWasRead) {
  const EditorDocument cases[] = {
      {"unclosed groups", "{\\rtf1 12{\\b 3", "123"},
      {"too many closing braces", "{\\rtf1 12}}}3", "12"},
      {"truncated control word", "{\\rtf1 12\\", "12"},
      {"truncated escape", "{\\rtf1 12\\'", "12"},
      {"escape with one digit", "{\\rtf1 12\\'4}", "124"},
      {"escape without digits", "{\\rtf1 12\\'zz}", "12zz"},
      {"binary length beyond the end", "{\\rtf1 12\\bin999999999 x}", "12"},
      {"negative binary length", "{\\rtf1 1\\bin-5 2}", "12"},
      {"huge parameter", "{\\rtf1 1\\u99999999999999999999999 2}", "1"},
      {"fallback at the end", "{\\rtf1 1\\uc9\\u65", "1A"},
      {"minus without digits", "{\\rtf1 \\fs- 1}", "- 1"},
  };
  for (const EditorDocument& c : cases) EXPECT_EQ(rtfToPlainText(c.document), c.text) << c.name;

  QRandomGenerator random(7);
  for (int round = 0; round < 300; ++round) {
    QByteArray garbage = "{\\rtf1";
    const int length = random.bounded(200);
    for (int i = 0; i < length; ++i) {
      const char pieces[] = {'{', '}', '\\', '\'', 'u', 'b', 'i', 'n', '9', '-', '*', ' ', 'c'};
      garbage += random.bounded(3) == 0 ? static_cast<char>(random.bounded(256))
                                        : pieces[random.bounded(13)];
    }
    rtfToPlainText(garbage);
  }
  QByteArray deep(200000, '{');
  EXPECT_EQ(rtfToPlainText("{\\rtf1 " + deep + "x"), "x");
}

}  // namespace
}  // namespace tessarin::app
