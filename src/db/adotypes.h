#pragma once

// The type, direction and option codes of the data access classes. The values are the classic
// ADO ones, so code that passes numbers (adInteger = 3, adParamReturnValue = 4, ...) keeps its
// meaning.

namespace orvane::db {

// Field and parameter data types.
enum DataTypeEnum : int {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBSTR = 8,
    adIDispatch = 9,
    adError = 10,
    adBoolean = 11,
    adVariant = 12,
    adIUnknown = 13,
    adDecimal = 14,
    adTinyInt = 16,
    adUnsignedTinyInt = 17,
    adUnsignedSmallInt = 18,
    adUnsignedInt = 19,
    adBigInt = 20,
    adUnsignedBigInt = 21,
    adFileTime = 64,
    adGUID = 72,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adUserDefined = 132,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adChapter = 136,
    adPropVariant = 138,
    adVarNumeric = 139,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adVarBinary = 204,
    adLongVarBinary = 205,
};

// Parameter directions.
enum ParameterDirectionEnum : int {
    adParamUnknown = 0,
    adParamInput = 1,
    adParamOutput = 2,
    adParamInputOutput = 3,
    adParamReturnValue = 4,
};

// Command types.
enum CommandTypeEnum : int {
    adCmdUnknown = 8,
    adCmdText = 1,
    adCmdTable = 2,
    adCmdStoredProc = 4,
};

// Field attributes reported by CADORecordset::GetFieldInfo.
enum FieldAttributeEnum : int {
    adFldUpdatable = 0x4,
    adFldMayBeNull = 0x40,
    adFldIsNullable = 0x20,
    adFldLong = 0x80,
    adFldKeyColumn = 0x8000,
};

// True for the text types (adBSTR, adChar, adWChar, adVarChar, adLongVarChar, adVarWChar,
// adLongVarWChar).
constexpr bool isTextType(int type)
{
    return type == adBSTR || type == adChar || type == adWChar || type == adVarChar ||
           type == adLongVarChar || type == adVarWChar || type == adLongVarWChar;
}

// True for the date and time types (adDate, adDBDate, adDBTime, adDBTimeStamp).
constexpr bool isDateType(int type)
{
    return type == adDate || type == adDBDate || type == adDBTime || type == adDBTimeStamp;
}

// True for the binary types (adBinary, adVarBinary, adLongVarBinary).
constexpr bool isBinaryType(int type)
{
    return type == adBinary || type == adVarBinary || type == adLongVarBinary;
}

} // namespace orvane::db
