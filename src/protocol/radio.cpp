#include "protocol/radio.h"

#include "protocol/common.h"

namespace quorvane {

namespace {
std::string Hex4(Int32 adr) {
    std::string s = "000" + Hex32(adr);
    return s.substr(s.size() - 4);
}
}  // namespace

void clsCmcRadio::cloneWriteAdrList_Add(Int32 adr0, Int32 adr1) {
    cloneWriteAdrList_ += Hex4(adr0) + "-" + Hex4(adr1) + ",";
}

}  // namespace quorvane
