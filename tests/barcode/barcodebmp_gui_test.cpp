#include "barcode/barcodebmp.h"

#include "decoders.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

TEST(BarcodeBmpText, Stub) {}

}  // namespace
}  // namespace gs
