-- Standard tasks. STDTASK_DAYS is the share, in percent, of the time left
-- before the wedding at which the task falls due, counted back from the
-- wedding day: 100 is today, 0 the wedding day. The values assume about a
-- year of planning (8 is about a month before); a shorter engagement
-- squeezes them in proportion. Rows run from earliest to latest.

INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (1, 'Announce the engagement to family and friends', 'Engagement Party', 100, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (2, 'Agree on the overall budget and who will contribute', 'Ceremony', 98, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (3, 'Choose a wedding date and a backup date', 'Ceremony', 97, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (4, 'Decide on the size and style of the wedding', 'Ceremony', 96, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (5, 'Draft the first guest list', 'Reception', 95, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (6, 'Plan the engagement party', 'Engagement Party', 94, 'Bride''s Parents');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (7, 'Interview and hire a wedding planner, if you want one', 'Ceremony', 93, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (8, 'Visit and reserve the ceremony site', 'Ceremony', 92, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (9, 'Visit and book the reception site', 'Reception', 91, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (10, 'Ask friends and family to be in the wedding party', 'Ceremony', 90, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (11, 'Meet with the officiant and confirm the date', 'Ceremony', 89, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (12, 'Book the photographer', 'Ceremony', 87, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (13, 'Book the videographer', 'Ceremony', 85, 'Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (14, 'Book the caterer', 'Reception', 84, 'Bride''s Parents');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (15, 'Book the band or DJ', 'Reception', 82, 'Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (16, 'Start shopping for the wedding gown', 'Ceremony', 80, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (17, 'Set up a wedding website with the date and travel details', 'Ceremony', 79, 'Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (18, 'Reserve blocks of hotel rooms for out-of-town guests', 'Reception', 78, 'Groom''s Parents');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (19, 'Book the florist', 'Ceremony', 76, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (20, 'Order the wedding gown', 'Ceremony', 75, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (21, 'Mail the save-the-date cards', 'Reception', 73, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (22, 'Register for gifts', 'Shower', 71, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (23, 'Choose the bridesmaid dresses', 'Ceremony', 70, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (24, 'Book the ceremony musicians', 'Ceremony', 68, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (25, 'Plan the honeymoon and check that passports are valid', 'Honeymoon', 66, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (26, 'Book honeymoon travel and lodging', 'Honeymoon', 63, 'Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (27, 'Book wedding-day transportation', 'Ceremony', 61, 'Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (28, 'Order the wedding cake', 'Reception', 59, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (29, 'Reserve rental tables, chairs, linens and tent', 'Reception', 57, 'Wedding Planner');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (30, 'Order the invitations and envelopes', 'Reception', 55, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (31, 'Plan the bridal shower', 'Shower', 53, 'Maid of Honor');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (32, 'Shop for the wedding rings', 'Ceremony', 51, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (33, 'Choose tuxedos or suits for the groom and groomsmen', 'Ceremony', 50, 'Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (34, 'Plan the rehearsal dinner', 'Rehearsal Dinner', 48, 'Groom''s Parents');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (35, 'Book hair and makeup and schedule a trial', 'Ceremony', 45, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (36, 'Plan the ceremony with the officiant: readings, vows and music', 'Ceremony', 43, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (37, 'Plan the bachelor party', 'Bachelor Party', 41, 'Best Man');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (38, 'Plan the bachelorette party', 'Bachelorette Party', 40, 'Maid of Honor');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (39, 'Order favors and welcome bags', 'Reception', 38, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (40, 'Attend the menu tasting and choose the reception menu', 'Reception', 36, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (41, 'Finalize the guest list and check every address', 'Reception', 33, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (42, 'Schedule the gown fittings', 'Ceremony', 30, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (43, 'Order the ceremony programs, menus and place cards', 'Ceremony', 27, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (44, 'Buy gifts for the wedding party and the parents', 'Ceremony', 25, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (45, 'Send the rehearsal dinner invitations', 'Rehearsal Dinner', 22, 'Groom''s Parents');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (46, 'Give the band or DJ the first dance and must-play songs', 'Reception', 19, 'Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (47, 'Hold the bridal shower', 'Shower', 17, 'Maid of Honor');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (48, 'Print address labels and mail the invitations', 'Reception', 14, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (49, 'Write thank-you notes for shower gifts', 'Shower', 12, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (50, 'Pick up the wedding rings and check the engraving', 'Ceremony', 10, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (51, 'Confirm honeymoon reservations and travel documents', 'Honeymoon', 9, 'Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (52, 'Apply for the marriage license', 'Ceremony', 8, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (53, 'Call guests who have not sent their RSVP', 'Reception', 7, 'Bride''s Parents');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (54, 'Hold the bachelor and bachelorette parties', 'Bachelor Party', 6, 'Best Man');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (55, 'Have the final gown fitting', 'Ceremony', 5, 'Bride');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (56, 'Finish the seating chart and print the table cards', 'Reception', 4, 'Bride & Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (57, 'Give the final head count to the caterer', 'Reception', 3, 'Bride''s Parents');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (58, 'Confirm arrival times and final payments with every vendor', 'Ceremony', 2, 'Wedding Planner');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (59, 'Pick up the tuxedos or suits and pack for the honeymoon', 'Honeymoon', 1, 'Groom');
INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_DAYS, STDTASK_ASSIGNMENT) VALUES (60, 'Give the rings and the officiant''s fee to the best man', 'Ceremony', 0, 'Best Man');
