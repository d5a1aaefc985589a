#include "protocol/radio.h"

#include "protocol/common.h"

namespace quorvane {

void clsCmcRadio::cloneWriteAdrList_Add(Int32 adr0, Int32 adr1) {
    cloneWriteAdrList_ += Hex4(adr0) + "-" + Hex4(adr1) + ",";
}

}  // namespace quorvane
