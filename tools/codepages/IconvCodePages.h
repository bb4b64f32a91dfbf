#pragma once

// The code pages of the workbooks' CODEPAGE records that iconv knows, by their iconv names: the
// tables of common/TextConverter are generated from these, and its test compares them with iconv.
namespace qm::codepages {

struct IconvCodePage {
    unsigned number;
    const char* iconvName;
};

inline constexpr IconvCodePage kIconvCodePages[] = {
    {367, "ASCII"},      {437, "CP437"},       {737, "CP737"},       {775, "CP775"},
    {850, "CP850"},      {852, "CP852"},       {855, "CP855"},       {857, "CP857"},
    {860, "CP860"},      {861, "CP861"},       {862, "CP862"},       {863, "CP863"},
    {864, "CP864"},      {865, "CP865"},       {866, "CP866"},       {869, "CP869"},
    {874, "CP874"},      {932, "CP932"},       {936, "GB18030"},     {949, "CP949"},
    {950, "BIG5"},       {1250, "CP1250"},     {1251, "CP1251"},     {1252, "CP1252"},
    {1253, "CP1253"},    {1254, "CP1254"},     {1255, "CP1255"},     {1256, "CP1256"},
    {1257, "CP1257"},    {1258, "CP1258"},     {1361, "CP1361"},     {10000, "MACINTOSH"},
    {10007, "MACCYRILLIC"}, {10029, "MAC-CENTRALEUROPE"},
};

}  // namespace qm::codepages
