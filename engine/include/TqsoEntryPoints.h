// The engine's exported interface: the calls a host agent makes (C linkage, the only symbols the engine
// library shows besides its exported data).
//
// Snapshot calls take the host's per-device job records, their count and the call's host-services object;
// provisioning calls take per-LUN records. The records and the services object belong to the host: the
// engine never keeps a pointer to them past the call. No exception leaves a call: every failure is a
// result code, a device status and a device error. A null list or a count of 0 or less touches nothing
// (snapshot calls then return 0, LUN calls 1).
//
// Exported data: the engine logger o_logger (held by the host library, which the engine shares with the
// agent), the vendor tables vInfo and nInfo, the process-wide locks of the CIM layer, and iEndPointId.
#pragma once

#include <cstdint>

#include "InventoryDatabase.h"
#include "LUNInfo.h"
#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "TQSOTypes.h"

#define TQSO_EXPORT __attribute__((visibility("default")))

extern "C" {

// ---- Snapshot calls ------------------------------------------------------------------------------------
// Writes 1, 0, 0 when all three pointers are non-null; nothing otherwise.
TQSO_EXPORT void tqso_version(short* major, short* minor, short* patch);
// 0 a 3PAR virtual volume, 2 another device, 1 no name or the inquiry failed. The last four arguments
// are not read.
TQSO_EXPORT int tqso_isSupported(const char* deviceName, int32_t reserved1, void* reserved2, void* reserved3,
                                 int16_t reserved4);
TQSO_EXPORT TQSO::ResultCode tqso_processVPDInfo(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_execSnapEngineOp(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil);
// Always 0; touches no device.
TQSO_EXPORT TQSO::ResultCode tqso_createRemoteSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_prepareRemoteSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_prepareDevices(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil);
// Always 0: clears each device's snapshot record and sets status 3.
TQSO_EXPORT TQSO::ResultCode tqso_unprepareDevices(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_snapDevices(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_postSnapDevices(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_deleteSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_isMapped(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_mapSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_unmapSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_revertSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_reconcileSnaps(TQSO::SnapInfo** devices, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_identifyDevices(TQSO::SnapInfo** devices, short count, TQSO::DeviceMap& deviceMap,
                                                  int mode, short& mismatchCount, TQSO::TQOSUtil* osUtil);

// ---- Provisioning calls --------------------------------------------------------------------------------
// Writes 1, 0, 0 when all three pointers are non-null; nothing otherwise.
TQSO_EXPORT void tqso_sProvVersion(short* major, short* minor, short* patch);
TQSO_EXPORT TQSO::ResultCode tqso_createLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_deleteLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_resizeLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_resolveLunsToUsers(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_mapLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil* osUtil);
TQSO_EXPORT TQSO::ResultCode tqso_unmapLUNs(TQSO::LUNInfo** luns, short count, TQSO::TQOSUtil* osUtil);
// 0 every array visited; 1 an array's provider could not be reached; the database's own result when its
// array list cannot be read.
TQSO_EXPORT int tqso_getArrayInfo(TQSO::ArrayReportDB* db, TQSO::TQOSUtil* osUtil);

// ---- Exported data -------------------------------------------------------------------------------------
// Handed to the host with every initiator-group list; zero, never written by the engine.
TQSO_EXPORT extern int iEndPointId;

}  // extern "C"
