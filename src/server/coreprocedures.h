#pragma once

namespace orvane::server {

// Return values of the procedures called with a "Return" parameter (qp_AddDBTable,
// qp_AddDBTableItem): 0 success; otherwise nothing was changed.
enum ProcedureReturn : int {
    kReturnOk = 0,
    kReturnDuplicate = 1, // the title or caption exists already
    kReturnInvalid = 2,   // an argument is empty, unknown or out of range
};

// Registers the procedures of the application core with the data access layer's procedure
// registry: the system log, the catalogue of tables and fields (with the DDL for the tables and
// columns created at run time), the dictionaries, the operator list, and the department, category and person-picker
// procedures. Safe to call more than
// once; procedures already registered are kept.
//
// Procedures without a "Return" parameter refuse bad input by failing the call (the caller
// sees the error text); either way a refused or failed call changes nothing.
void registerCoreProcedures();

} // namespace orvane::server
