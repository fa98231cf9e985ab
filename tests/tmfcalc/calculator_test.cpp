// The calculator's input check, quads and moves (the script test drives the rest of the window
// and the parameters dialog).
#include "tests/support/scratch.h"
#include "tmfcalc/frm_halden.h"

namespace {

class Calculator : public testsupport::PlatformFixture {
protected:
    void point(const char* lat, const char* lat_min, const char* lon, const char* lon_min) {
        calc.hldLat.set_text(lat);
        calc.hldLatMin.set_text(lat_min);
        calc.hldLon.set_text(lon);
        calc.hldLonMin.set_text(lon_min);
    }
    std::string input() const {
        return calc.hldLat.text() + " " + calc.hldLatMin.text() + " " + calc.hldLon.text() + " " + calc.hldLonMin.text();
    }
    tmfcalc::FrmHalden calc;
};

TEST_F(Calculator, InputOutOfRangeOrNoNumberIsCorrectedFirst) {
    point("95", "abc", "200", "75");
    calc.CheckValidValues();
    EXPECT_EQ(input(), "89 59.9999 179 59.99999");
    point("-91", "61", "-180.5", "x");
    calc.CheckValidValues();
    EXPECT_EQ(input(), "-89 59.9999 -179 59.99999");
}

TEST_F(Calculator, QuadOfTheChosenLevel) {
    calc.hldLOD.set_list_index(13);
    calc.Command1.click();
    EXPECT_EQ(calc.hldRow.text(), "8192");
    EXPECT_EQ(calc.hldCol.text(), "12288");
    EXPECT_EQ(calc.hldHeight.text(), "1220.92");
    EXPECT_EQ(calc.hldWidth.text(), "1627.89");
    EXPECT_EQ(calc.hldTopD.text(), "0* 0.0");
    EXPECT_EQ(calc.hldRightD.text(), "0* 0.8789");
    EXPECT_EQ(calc.hldCNTR.text(), "S0* 0.33  E0* 0.439");
}

TEST_F(Calculator, HalfADegreeSouthStaysSouth) {
    // "-0" degrees and 30 minutes: the sign of a point within a degree of the equator counts.
    point("-0", "30", "0", "0");
    calc.hldLOD.set_list_index(8);
    calc.Command1.click();
    EXPECT_EQ(calc.hldLat.text(), "-0");
    EXPECT_EQ(calc.hldRow.text(), "257");
    EXPECT_TRUE(calc.hldTopD.text().starts_with("-0* 21.09")) << calc.hldTopD.text();
    EXPECT_EQ(calc.hldWidth.text(), "52090.45");
}

TEST_F(Calculator, OpensShowingTheQuadOfItsPoint) {
    ui::Window owner("Form1", "Gorvane", 100, 100);
    calc.open(owner);
    EXPECT_EQ(calc.hldRow.text(), "8192");
    EXPECT_EQ(calc.hldCol.text(), "12288");
    EXPECT_EQ(calc.hldBotD.text(), "-0* 0.6592");
    EXPECT_EQ(calc.hldWidth.text(), "1627.89");
    ui::desktop().close(calc);
}

TEST_F(Calculator, APointRoundedOntoACellEdgeIsInTheNextCell) {
    // Less than half an offset unit west of the edge between columns 384 and 385.
    point("10", "0", "0", "28.1249");
    calc.Command1.click();
    EXPECT_TRUE(calc.hldOutTxt.text().starts_with("FLATTEN_DATA <count>,0, 0, 17, ")) << calc.hldOutTxt.text();
    EXPECT_TRUE(calc.hldOutTxt.text().ends_with("FLATTEN_GROUP 227, 385, flatten_data, data_start_0, data_end_0"));
    // The corrected extremes: the antimeridian goes round to column 0, the South Pole keeps the
    // last row.
    point("-95", "0", "200", "0");
    calc.Command1.click();
    EXPECT_EQ(calc.hldOutTxt.text(),
              "FLATTEN_DATA <count>,0, 0, 31, <switch1>, <switch2>, <switch3>\r\nFLATTEN_POINT 0, 255\r\n"
              "FLATTEN_GROUP 511, 0, flatten_data, data_start_0, data_end_0");
}

TEST_F(Calculator, MovesGoToTheCentreOfTheNeighbouringQuad) {
    calc.hldLOD.set_list_index(8);
    calc.Command4.click();  // next: column 385
    EXPECT_EQ(input(), "-0 10.5469 0 42.1875");
    EXPECT_EQ(calc.hldCol.text(), "385");
    calc.Command6.click();  // upper: row 255
    EXPECT_EQ(input(), "0 10.5469 0 42.1875");
    // At the antimeridian the columns go round.
    point("0", "0", "179", "59");
    calc.Command4.click();
    EXPECT_EQ(calc.hldCol.text(), "0");
}

}  // namespace
