#include "text/code_pages.h"

namespace folivra {

int charset_code_page(int charset) {
  switch (charset) {
    case 0:
      return 1252;
    case 2:
      return kSymbolCodePage;
    case 77:
      return 936;  // the Mac's code page, which for Chinese Windows is GB2312
    case 128:
      return 932;
    case 129:
      return 949;
    case 130:
      return 1361;
    case 134:
      return 936;
    case 136:
      return 950;
    case 161:
      return 1253;
    case 162:
      return 1254;
    case 163:
      return 1258;
    case 177:
      return 1255;
    case 178:
      return 1256;
    case 186:
      return 1257;
    case 204:
      return 1251;
    case 222:
      return 874;
    case 238:
      return 1250;
    case 254:
      return 437;
    default:
      return 0;  // 1 (the default charset), 255 (OEM) and unknown ones
  }
}

}  // namespace folivra
