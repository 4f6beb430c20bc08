/* Layout checks of records, for both build lanes.
 *
 * The x86 lane is the records' own platform: every size and offset is checked exactly there.
 * On the x64 lane, records that hold pointers, handles or pointer-sized values in memory keep the
 * same fields in the same order but grow; their exact checks apply to x86 only.  Records whose
 * bytes are stored or sent to another process hold no such fields and are checked in both lanes
 * with a plain static_assert. */
#ifndef RECORDCHECK_H
#define RECORDCHECK_H

#ifdef _WIN64
#define RECORD_CHECK_X86(cond, what) static_assert(sizeof(void *) == 8, what)
#else
#define RECORD_CHECK_X86(cond, what) static_assert(cond, what)
#endif

#endif
