#include <gtest/gtest.h>

#include "reports/CsvField.h"

TEST(CsvField, PlainTextKeepsItsBytes) {
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("Ann "), "Ann ");
    EXPECT_EQ(CsvField("21.500\xB0"
                       "C"),
              "21.500\xB0"
              "C");
}

TEST(CsvField, CommaQuoteAndLineBreakAreEnclosed) {
    EXPECT_EQ(CsvField("fridge, one week"), "\"fridge, one week\"");
    EXPECT_EQ(CsvField("the \"cold\" room"), "\"the \"\"cold\"\" room\"");
    EXPECT_EQ(CsvField("\""), "\"\"\"\"");
    EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
    EXPECT_EQ(CsvField("a\nb"), "\"a\nb\"");
}
