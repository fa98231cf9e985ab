// The calculator's input check, quads, moves and the point read from an export; the lake and
// decal parameters dialog and its "tmf.ini".
#include "tests/support/scratch.h"
#include "tmfcalc/frm_halden.h"
#include "tmfcalc/frm_hld_params.h"
#include "workbench/form1.h"

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
    calc.hldLOD.set_text("16");
    calc.hldLOD.lost_focus();
    EXPECT_EQ(last_box(), "The level \"16\" is not a grid level: choose one from 0 to 15.");
    EXPECT_EQ(calc.hldLOD.text(), "13");
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

TEST_F(Calculator, GetFromFileTakesThePlacementLine) {
    folder.write("none.asm", {"; no placement"});
    folder.write("model.asm", {"  SCALE_AGL OBJECT_RET, 0, 0, 10000h, 0FFFFB3B2h, 0, 02AAAAAh, 0, 0, 0"});
    platform.queue_file(path("none.asm"));
    calc.Command3.click();
    EXPECT_EQ(last_box(), "This file does not contain placement information.");
    platform.queue_file(path("model.asm"));
    calc.Command3.click();
    EXPECT_EQ(input(), "-0 10.5465 0 14.0625");
    EXPECT_EQ(calc.hldOutTxt.text(),
              "FLATTEN_DATA <count>,4, 0, 15, <switch1>, <switch2>, <switch3>\r\n"
              "FLATTEN_POINT 0, 255\r\n"
              "FLATTEN_GROUP 256, 384, flatten_data, data_start_0, data_end_0");
}

TEST_F(Calculator, ParametersDialogCopiesInAndOutAndKeepsTmfIni) {
    wb::Form1 form;
    ui::desktop().show(form);
    form.hldTextNumber.set_text("1300");
    tmfcalc::FrmHldParams& d = form.frm_hld_params();
    d.open(form);
    EXPECT_EQ(d.hldTextNumber.text(), "1300");
    d.hldAlt.set_text("35");
    d.cmdCancel.click();
    EXPECT_EQ(form.hldAlt.text(), "20");
    d.open(form);
    d.hldAlt.set_text("35");
    d.hldLake.set_value(1);
    d.hldNSSpan.set_text("9000");
    d.cmdOK.click();
    EXPECT_FALSE(d.is_open());
    EXPECT_EQ(form.hldAlt.text(), "35");
    EXPECT_EQ(form.hldLake.value(), 1);
    EXPECT_EQ(folder.read("tmf.ini"), "v1\r\n1300\r\n4080\r\n9000\r\n4080\r\n8160\r\n");
    ui::desktop().close(form);
}

}  // namespace
