int stillbeckTestSupportAnchor = 0;
