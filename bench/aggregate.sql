-- The yardstick of bench/run.sh --compare: the received-orders totals of the range in one
-- statement (per vendor and PO: the vendor's name, the first receipt, cost and retail).
-- HISTORY, INVENTORY, FIRST and LAST are filled in by bench/compare.sh.
SELECT h.VendorCode, max(v.BUSINESS), h.PONumber, min(h.DateReceived),
       sum(h.UnitCost * h.UnitQty), sum(i.Price * h.UnitQty)
FROM HISTORY h LEFT JOIN INVENTORY i ON i.RecordNum = h.InvUID
               LEFT JOIN VENDOR v ON v.VENDCODE = h.VendorCode
WHERE (h.Status = 'R' OR h.Status = 'U') AND h.DateReceived >= 'FIRST' AND h.DateReceived <= 'LAST'
GROUP BY h.VendorCode, h.PONumber ORDER BY h.VendorCode;
